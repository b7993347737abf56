// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufall_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;

class TestZufallDialog : public QObject
{
    Q_OBJECT

private slots:
    void okTakesOnlyValidEntries_data();
    void okTakesOnlyValidEntries();
    void abbrechenChangesNothing();
    void weightOutOfRangeIsSaid();
};

void TestZufallDialog::okTakesOnlyValidEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("weightOfSix"); // the other five are 0
    QTest::addColumn<bool>("taken");
    QTest::newRow("leading zeros") << u"0004711"_s << 1 << true;
    QTest::newRow("one more than the largest") << u"2147483648"_s << 1 << false;
    QTest::newRow("far beyond 64 bits") << u"184467440737095516160"_s << 1 << false;
    QTest::newRow("negative") << u"-1"_s << 1 << false;
    QTest::newRow("grouped") << u"4.711"_s << 1 << false;
    QTest::newRow("all weights 0") << u"4711"_s << 0 << false;
}

void TestZufallDialog::okTakesOnlyValidEntries()
{
    // A seed or weights the dice cannot use must not start a game; the teacher sees why and can
    // mend the entry in the open dialog.
    QFETCH(QString, typed);
    QFETCH(int, weightOfSix);
    QFETCH(bool, taken);
    ZufallDialog dialog({});
    dialog.open();
    dialog.findChild<QLineEdit *>(u"Startwert"_s)->setText(typed);
    for (int face = 1; face <= 5; ++face)
        dialog.findChild<QSpinBox *>(u"Gewicht%1"_s.arg(face))->setValue(0);
    dialog.findChild<QSpinBox *>(u"Gewicht6"_s)->setValue(weightOfSix);
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    QCOMPARE(dialog.isVisible(), !taken);
    QCOMPARE(dialog.meldung().isEmpty(), taken);
    const Zufallseinstellung entered{4711, {0, 0, 0, 0, 0, 1}, false};
    QCOMPARE(dialog.einstellung(), taken ? entered : Zufallseinstellung{});
}

void TestZufallDialog::abbrechenChangesNothing()
{
    // Abbrechen after changing every entry must leave the game's settings as they were.
    const Zufallseinstellung current{4711, {1, 1, 1, 1, 1, 5}, true};
    ZufallDialog dialog(current);
    dialog.open();
    dialog.findChild<QLineEdit *>(u"Startwert"_s)->setText(u"12"_s);
    dialog.findChild<QSpinBox *>(u"Gewicht6"_s)->setValue(1);
    dialog.findChild<QCheckBox *>(u"Geheim"_s)->setChecked(false);
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.einstellung(), current);
}

void TestZufallDialog::weightOutOfRangeIsSaid()
{
    // Typing "150" silently left 15 in the box.
    ZufallDialog dialog({});
    dialog.open();
    auto *spin = dialog.findChild<QSpinBox *>(u"Gewicht1"_s);
    auto *edit = spin->findChild<QLineEdit *>();
    edit->selectAll();
    QTest::keyClicks(edit, u"150"_s);
    QCOMPARE(spin->text(), u"15"_s);
    QCOMPARE(dialog.meldung(), u"Ein Gewicht ist eine ganze Zahl von 0 bis 100."_s);
}

QTEST_MAIN(TestZufallDialog)
#include "tst_zufall_dialog.moc"
