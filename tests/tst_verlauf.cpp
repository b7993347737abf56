// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "casino.h"
#include "fakes.h"
#include "history_text.h"
#include "statistics_windows.h"
#include "verlauf.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

class TestVerlauf : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyAndFitted();
    void boxAlwaysFillsTheWindow_data();
    void boxAlwaysFillsTheWindow();
    void throwsWhileHiddenAreShownLater();
    void shownWindowOnlyAppends();
    void typedTextBecomesHistory();
    void closingKeepsTheHistory();
    void newEmptiesTheBox();
    void rawTextKeepsWhatWasTyped();
    void undoReachesOnlyTyping_data();
    void undoReachesOnlyTyping();

private:
    void throwValues(std::initializer_list<int> values);
    QPlainTextEdit &box() { return verlauf()->TFVerlauf(); }

    ScriptedDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestVerlauf::init()
{
    m_casino = startProgram(m_dialogs, m_random);
}

void TestVerlauf::cleanup()
{
    endProgram(m_casino);
}

void TestVerlauf::throwValues(std::initializer_list<int> values)
{
    Austausch::Wurfzahl = static_cast<qint32>(values.size());
    ScriptedRandom &random = m_random;
    random.pushValues(values);
    m_casino->CBKollavo_MouseDown();
}

void TestVerlauf::startsEmptyAndFitted()
{
    // The design text must never show, and the box must never leave a margin.
    Verlauf &window = *verlauf();
    QCOMPARE(window.windowTitle(), QStringLiteral("Verlauf"));
    QCOMPARE(window.size(), QSize(312, 228));
    QCOMPARE(box().objectName(), QStringLiteral("TFVerlauf"));
    QCOMPARE(box().geometry(), window.rect());
    QCOMPARE(box().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box().lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(!box().isReadOnly());
    QCOMPARE(box().font().pointSizeF(), 8.25);
    QCOMPARE(box().font().weight(), QFont::Normal);
    window.show();
    QCOMPARE(box().toPlainText(), QString());
}

void TestVerlauf::boxAlwaysFillsTheWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(600, 500);
    QTest::newRow("narrow") << QSize(40, 300);
    QTest::newRow("flat") << QSize(300, 1);
    QTest::newRow("nothing") << QSize(0, 0);
}

void TestVerlauf::boxAlwaysFillsTheWindow()
{
    // Left 0, top 0 and exactly the client size after every resize, even a degenerate one.
    QFETCH(QSize, size);
    Verlauf &window = *verlauf();
    window.show();
    window.resize(size);
    QCOMPARE(box().geometry(), QRect(QPoint(0, 0), window.size()));
}

void TestVerlauf::throwsWhileHiddenAreShownLater()
{
    // A hidden window keeps its text, and throws made meanwhile are all there when it is shown.
    QAction *item = m_casino->findChild<QAction *>(QStringLiteral("MVerlauf"));
    item->trigger();
    throwValues({1, 2});
    QCOMPARE(box().toPlainText(), QStringLiteral("1\n2"));
    item->trigger();
    throwValues({3, 4, 5});
    item->trigger();
    QCOMPARE(box().toPlainText(), QStringLiteral("1\n2\n3\n4\n5"));
}

void TestVerlauf::shownWindowOnlyAppends()
{
    // While shown, a move adds its lines at the end instead of reloading the whole text.
    verlauf().show();
    throwValues({6, 6});
    QSignalSpy changes(box().document(), &QTextDocument::contentsChange);
    const int end = box().document()->characterCount() - 1;
    throwValues({1, 2, 3});
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().at(0).toInt(), end);
    QCOMPARE(changes.first().at(1).toInt(), 0);
    QCOMPARE(box().toPlainText(), QStringLiteral("6\n6\n1\n2\n3"));
}

void TestVerlauf::typedTextBecomesHistory()
{
    // What the user types is part of the history; later throws follow the edited text.
    verlauf().show();
    throwValues({4});
    box().moveCursor(QTextCursor::End);
    QTest::keyClick(&box(), Qt::Key_Return);
    QTest::keyClicks(&box(), QStringLiteral("Pause"));
    QCOMPARE(history().text(), QStringLiteral("4\r\nPause"));

    throwValues({5});
    QCOMPARE(history().text(), QStringLiteral("4\r\nPause\r\n5"));
    QCOMPARE(box().toPlainText(), QStringLiteral("4\nPause\n5"));

    box().selectAll();
    QTest::keyClick(&box(), Qt::Key_Delete);
    QVERIFY(history().isEmpty());
    throwValues({2});
    QCOMPARE(history().text(), QStringLiteral("2"));
}

void TestVerlauf::closingKeepsTheHistory()
{
    // Closing the window must not lose the throws: a re-created window shows all of them.
    QAction *item = m_casino->findChild<QAction *>(QStringLiteral("MVerlauf"));
    item->trigger();
    throwValues({1, 6});
    verlauf().loadedWidget()->close();
    QVERIFY(!item->isChecked());
    QVERIFY(!verlauf().isLoaded());
    QCOMPARE(history().text(), QStringLiteral("1\r\n6"));

    throwValues({3});
    item->trigger();
    QCOMPARE(box().toPlainText(), QStringLiteral("1\n6\n3"));
    QVERIFY(!box().toPlainText().contains(QStringLiteral("Text1")));
}

void TestVerlauf::newEmptiesTheBox()
{
    // New clears the history in a shown window too.
    verlauf().show();
    throwValues({2, 3});
    m_casino->MNeu_Click();
    QCOMPARE(box().toPlainText(), QString());
    throwValues({4});
    QCOMPARE(box().toPlainText(), QStringLiteral("4"));
}

void TestVerlauf::rawTextKeepsWhatWasTyped()
{
    // The export writes the edited text unchanged: no-break spaces and soft breaks included.
    verlauf().show();
    box().setPlainText(QStringLiteral("a") + QChar(0x00A0) + QStringLiteral("b\nc"));
    box().moveCursor(QTextCursor::End);
    QTest::keyClick(&box(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box(), QStringLiteral("d"));
    QCOMPARE(history().text(),
             QStringLiteral("a") + QChar(0x00A0) + QStringLiteral("b\r\nc\r\nd"));
}

void TestVerlauf::undoReachesOnlyTyping_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a move") << u"show throw:12 undo"_s << u"1\r\n2"_s;
    QTest::newRow("the catch-up when shown") << u"throw:12 show undo"_s << u"1\r\n2"_s;
    QTest::newRow("New") << u"show throw:12 new undo"_s << QString();
    QTest::newRow("typing is undone") << u"show throw:3 type:x undo"_s << u"3"_s;
    QTest::newRow("and redone") << u"show throw:3 type:x undo redo"_s << u"3x"_s;
    QTest::newRow("typing before a move stays") << u"show throw:3 type:x throw:4 undo"_s
                                                 << u"3x\r\n4"_s;
}

void TestVerlauf::undoReachesOnlyTyping()
{
    // Undo in the box must never take back throws the program wrote, or the history would
    // disagree with the counts; the user's own typing stays undoable.
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    for (const QString &step : steps.split(u' ')) {
        const QString argument = step.section(u':', 1);
        if (step == u"show"_s) {
            verlauf().show();
        } else if (step.startsWith(u"throw:"_s)) {
            Austausch::Wurfzahl = static_cast<qint32>(argument.size());
            for (const QChar digit : argument)
                m_random.pushValue(digit.digitValue());
            m_casino->CBKollavo_MouseDown();
        } else if (step == u"new"_s) {
            m_casino->MNeu_Click();
        } else if (step.startsWith(u"type:"_s)) {
            box().moveCursor(QTextCursor::End);
            QTest::keyClicks(&box(), argument);
        } else if (step == u"undo"_s) {
            QTest::keyClick(&box(), Qt::Key_Z, Qt::ControlModifier);
        } else if (step == u"redo"_s) {
            QTest::keySequence(&box(), QKeySequence::Redo);
        }
    }
    QCOMPARE(history().text(), expected);
    QCOMPARE(historyTextOf(box()), expected);
}

QTEST_MAIN(TestVerlauf)
#include "tst_verlauf.moc"
