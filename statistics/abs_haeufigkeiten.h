#pragma once

#include "element_list.h"
#include "line_element.h"

#include <QLabel>
#include <QWidget>

// "absolute Häufigkeiten": the count of every reachable sum as a bar chart.
class AbsHaeufigkeiten : public QWidget
{
    Q_OBJECT

public:
    AbsHaeufigkeiten();
    ~AbsHaeufigkeiten() override;

    // A full layout pass from the game state, the same as a resize runs.
    void absH_Refresh();

    const ElementList<QLabel> &absH() const { return m_absH; }
    const ElementList<LineElement> &Niveau() const { return m_niveau; }
    const ElementList<QLabel> &NZahl() const { return m_nzahl; }

signals:
    // The unload or terminate step ran: the main window clears the check mark of Mabs.
    void released();

private:
    ElementList<QLabel> m_absH;
    ElementList<LineElement> m_niveau;
    ElementList<QLabel> m_nzahl;
};
