// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufall_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;

using Weights = std::array<int, 6>;
Q_DECLARE_METATYPE(Weights)

namespace {

// No seed: -1.
constexpr qint64 Clock = -1;

QLineEdit *startwert(ZufallDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(u"Startwert"_s);
}

QSpinBox *gewicht(ZufallDialog &dialog, int face)
{
    return dialog.findChild<QSpinBox *>(u"Gewicht%1"_s.arg(face));
}

QCheckBox *geheim(ZufallDialog &dialog)
{
    return dialog.findChild<QCheckBox *>(u"Geheim"_s);
}

void click(ZufallDialog &dialog, QDialogButtonBox::StandardButton which)
{
    dialog.findChild<QDialogButtonBox *>()->button(which)->click();
}

} // namespace

class TestZufallDialog : public QObject
{
    Q_OBJECT

private slots:
    void okTakesOnlyValidEntries_data();
    void okTakesOnlyValidEntries();
    void abbrechenChangesNothing();
};

void TestZufallDialog::okTakesOnlyValidEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Weights>("weights");
    // The seed taken, or refused when false.
    QTest::addColumn<bool>("taken");
    QTest::addColumn<qint64>("seed");
    const Weights fair{1, 1, 1, 1, 1, 1};
    QTest::newRow("empty: the clock") << QString() << fair << true << Clock;
    QTest::newRow("blanks: the clock") << u"  "_s << fair << true << Clock;
    QTest::newRow("0") << u"0"_s << fair << true << qint64(0);
    QTest::newRow("the largest") << u"2147483647"_s << fair << true << qint64(2147483647);
    QTest::newRow("leading zeros") << u"0004711"_s << fair << true << qint64(4711);
    QTest::newRow("one more than the largest") << u"2147483648"_s << fair << false << Clock;
    QTest::newRow("far beyond 64 bits") << u"184467440737095516160"_s << fair << false << Clock;
    QTest::newRow("negative") << u"-1"_s << fair << false << Clock;
    QTest::newRow("grouped") << u"4.711"_s << fair << false << Clock;
    QTest::newRow("not a number") << u"12a"_s << fair << false << Clock;
    QTest::newRow("one weight above 0 is enough")
        << u"7"_s << Weights{0, 0, 0, 0, 0, 1} << true << qint64(7);
    QTest::newRow("all weights 0") << u"7"_s << Weights{0, 0, 0, 0, 0, 0} << false << Clock;
}

void TestZufallDialog::okTakesOnlyValidEntries()
{
    // A seed or weights the dice cannot use must not start a game; the teacher sees why and can
    // mend the entry in the open dialog.
    QFETCH(QString, typed);
    QFETCH(Weights, weights);
    QFETCH(bool, taken);
    QFETCH(qint64, seed);
    const Zufallseinstellung current;
    ZufallDialog dialog(current);
    dialog.open();
    startwert(dialog)->setText(typed);
    for (int face = 1; face <= 6; ++face)
        gewicht(dialog, face)->setValue(weights[static_cast<std::size_t>(face - 1)]);
    click(dialog, QDialogButtonBox::Ok);

    QCOMPARE(dialog.isVisible(), !taken);
    QCOMPARE(dialog.result() == QDialog::Accepted, taken);
    QCOMPARE(dialog.findChild<QLabel *>(u"Meldung"_s)->isVisible(), !taken);
    QCOMPARE(dialog.meldung().isEmpty(), taken);
    if (taken) {
        const Zufallseinstellung expected{
            seed == Clock ? std::nullopt : std::optional<quint32>(quint32(seed)), weights, false};
        QCOMPARE(dialog.einstellung(), expected);
    } else {
        QCOMPARE(dialog.einstellung(), current);
    }
}

void TestZufallDialog::abbrechenChangesNothing()
{
    // Abbrechen after changing every entry must leave the game's settings as they were.
    const Zufallseinstellung current{4711, {1, 1, 1, 1, 1, 5}, true};
    ZufallDialog dialog(current);
    dialog.open();
    QCOMPARE(startwert(dialog)->text(), u"4711"_s);
    QCOMPARE(gewicht(dialog, 6)->value(), 5);
    QVERIFY(geheim(dialog)->isChecked());

    startwert(dialog)->setText(u"12"_s);
    gewicht(dialog, 6)->setValue(1);
    geheim(dialog)->setChecked(false);
    click(dialog, QDialogButtonBox::Cancel);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.einstellung(), current);
}

QTEST_MAIN(TestZufallDialog)
#include "tst_zufall_dialog.moc"
