#pragma once

#include "element_list.h"

#include <QLabel>
#include <QWidget>

// "relative Häufigkeiten": the share of every sum as a pie chart on a persistent surface.
class RelHaeufigkeiten : public QWidget
{
    Q_OBJECT

public:
    RelHaeufigkeiten();
    ~RelHaeufigkeiten() override;

    // A full redraw from the game state, the same as a resize runs.
    void relH_Refresh();

    // The sum labels 0 … 42; New shows and hides them.
    ElementList<QLabel> &Ergebnis() { return m_ergebnis; }

signals:
    // The unload or terminate step ran: the main window clears the check mark of Mrel.
    void released();

private:
    ElementList<QLabel> m_ergebnis;
};
