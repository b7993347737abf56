// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufall_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Empty (or blanks only) is the clock; otherwise digits only, so "4.711", "+5" or "1e3" are
// refused rather than read as something the teacher did not mean.
bool readStartwert(const QString &typed, std::optional<quint32> *startwert)
{
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        startwert->reset();
        return true;
    }
    if (!std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return false;
    }
    // Leading zeros would otherwise make a small number too long for the conversion.
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == u'0')
        ++first;
    if (text.size() - first > 10)
        return false;
    const qint64 value = text.mid(first).toLongLong();
    if (value > Zufallseinstellung::HoechsterStartwert)
        return false;
    *startwert = static_cast<quint32>(value);
    return true;
}

} // namespace

ZufallDialog::ZufallDialog(const Zufallseinstellung &current, QWidget *parent)
    : QDialog(parent), m_einstellung(current)
{
    setObjectName(QStringLiteral("Zufall"));
    setWindowTitle(QStringLiteral("Würfel und Zufall"));

    m_startwert = new QLineEdit(this);
    m_startwert->setObjectName(QStringLiteral("Startwert"));
    m_startwert->setPlaceholderText(QStringLiteral("von der Uhr"));
    m_startwert->setAccessibleName(QStringLiteral("Startwert"));
    if (current.startwert)
        m_startwert->setText(QString::number(*current.startwert));
    auto *seedHint = new QLabel(QStringLiteral("Leer: jedes Mal andere Würfe. Eine Zahl von 0 bis "
                                               "2147483647: auf jedem Computer dieselben Würfe."),
                                this);
    seedHint->setWordWrap(true);
    auto *seedForm = new QFormLayout;
    seedForm->addRow(QStringLiteral("&Startwert:"), m_startwert);
    seedForm->addRow(seedHint);

    auto *weightsBox = new QGroupBox(QStringLiteral("Gewichte der Augenzahlen"), this);
    auto *weightsGrid = new QGridLayout(weightsBox);
    for (int face = 1; face <= 6; ++face) {
        const auto i = static_cast<std::size_t>(face - 1);
        auto *spin = new QSpinBox(weightsBox);
        spin->setObjectName(QStringLiteral("Gewicht%1").arg(face));
        spin->setRange(0, Zufallseinstellung::HoechstesGewicht);
        spin->setValue(current.gewichte[i]);
        spin->setAccessibleName(QStringLiteral("Gewicht der Augenzahl %1").arg(face));
        auto *label = new QLabel(QStringLiteral("&%1").arg(face), weightsBox);
        label->setBuddy(spin);
        label->setAlignment(Qt::AlignCenter);
        weightsGrid->addWidget(label, 0, face - 1);
        weightsGrid->addWidget(spin, 1, face - 1);
        m_gewichte[i] = spin;
        // The box drops a keystroke that would leave its range ("150" stays 15): say so.
        connect(spin->findChild<QLineEdit *>(), &QLineEdit::inputRejected, this, [this, spin] {
            refuse(QStringLiteral("Ein Gewicht ist eine ganze Zahl von 0 bis %1.")
                       .arg(Zufallseinstellung::HoechstesGewicht),
                   spin);
        });
    }
    auto *weightsHint =
        new QLabel(QStringLiteral("Jede Augenzahl fällt mit ihrem Gewicht geteilt durch die Summe "
                                  "aller Gewichte, bei jedem Würfel gleich."),
                   weightsBox);
    weightsHint->setWordWrap(true);
    weightsGrid->addWidget(weightsHint, 2, 0, 1, 6);

    m_geheim = new QCheckBox(
        QStringLiteral("&Geheim: außerhalb dieses Dialogs nichts davon zeigen"), this);
    m_geheim->setObjectName(QStringLiteral("Geheim"));
    m_geheim->setChecked(current.geheim);

    m_meldung = new QLabel(this);
    m_meldung->setObjectName(QStringLiteral("Meldung"));
    m_meldung->setWordWrap(true);
    m_meldung->setVisible(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // Set here, not left to Qt's translations, which may be missing.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ZufallDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ZufallDialog::reject);

    auto *layout = new QVBoxLayout(this);
    // The dialog grows by the message's lines when OK refuses an entry, and shrinks back.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(seedForm);
    layout->addWidget(weightsBox);
    layout->addWidget(m_geheim);
    layout->addWidget(m_meldung);
    layout->addWidget(buttons);
}

QString ZufallDialog::meldung() const
{
    return m_meldung->text();
}

void ZufallDialog::accept()
{
    Zufallseinstellung entered;
    if (!readStartwert(m_startwert->text(), &entered.startwert)) {
        refuse(QStringLiteral("Der Startwert muss leer oder eine ganze Zahl von 0 bis 2147483647 "
                              "sein."),
               m_startwert);
        return;
    }
    for (std::size_t i = 0; i < m_gewichte.size(); ++i)
        entered.gewichte[i] = m_gewichte[i]->value();
    if (std::all_of(entered.gewichte.begin(), entered.gewichte.end(),
                    [](int w) { return w == 0; })) {
        refuse(QStringLiteral("Mindestens ein Gewicht muss größer als 0 sein."), m_gewichte[0]);
        return;
    }
    entered.geheim = m_geheim->isChecked();
    m_einstellung = entered;
    m_meldung->clear();
    m_meldung->setVisible(false);
    QDialog::accept();
}

void ZufallDialog::refuse(const QString &text, QWidget *field)
{
    m_meldung->setText(text);
    m_meldung->setVisible(true);
    field->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->selectAll();
}
