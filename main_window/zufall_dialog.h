// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "zufall.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// "Würfel und Zufall": the seed and the weights of the faces, and whether they stay secret.
// It shows the settings it is given and hands back the entered ones only when they are valid;
// otherwise OK names the fault in the dialog, which stays open.
class ZufallDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ZufallDialog(const Zufallseinstellung &current, QWidget *parent = nullptr);

    // The accepted settings; before OK and after Abbrechen the ones the dialog was given.
    const Zufallseinstellung &einstellung() const { return m_einstellung; }
    // The fault OK last refused, empty when there was none.
    QString meldung() const;

    void accept() override;


private:
    void refuse(const QString &text, QWidget *field);

    Zufallseinstellung m_einstellung;
    QLineEdit *m_startwert = nullptr;
    std::array<QSpinBox *, 6> m_gewichte{};
    QCheckBox *m_geheim = nullptr;
    QLabel *m_meldung = nullptr;
};
