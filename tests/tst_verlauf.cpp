// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"
#include "casino.h"
#include "fakes.h"
#include "history_text.h"
#include "setup.h"
#include "statistics_windows.h"
#include "verlauf.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTemporaryDir>
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
    void hugePasteIsRefused_data();
    void hugePasteIsRefused();
    void newEmptiesTheBox();
    void rawTextKeepsWhatWasTyped();
    void undoReachesOnlyTyping_data();
    void undoReachesOnlyTyping();
    void boxFollowsTheHistory_data();
    void boxFollowsTheHistory();
    void copyAndExportHaveNoSoftBreaks();
    void everyLineCanBeReached_data();
    void everyLineCanBeReached();
    void boxWaitsForMemory_data();
    void boxWaitsForMemory();

private:
    void throwValues(std::initializer_list<int> values);
    // Steps of a user; m_lines follows what the history must be after them.
    void perform(const QString &steps);
    int lineAt(int y) { return box().cursorForPosition(QPoint(2, y)).position() / 2; }

    QStringList m_lines;
    qsizetype m_cursorLine = 0;
    QPlainTextEdit &box() { return windows().verlauf()->TFVerlauf(); }

    ScriptedDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestVerlauf::init()
{
    m_lines.clear();
    m_casino = startProgram(m_dialogs, m_random);
}

void TestVerlauf::cleanup()
{
    endProgram(m_casino);
}

void TestVerlauf::throwValues(std::initializer_list<int> values)
{
    game().austausch().Wurfzahl = static_cast<qint32>(values.size());
    ScriptedRandom &random = m_random;
    random.pushValues(values);
    m_casino->CBKollavo_MouseDown();
}

void TestVerlauf::startsEmptyAndFitted()
{
    // The design text must never show, and the box must never leave a margin.
    Verlauf &window = *windows().verlauf();
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
    Verlauf &window = *windows().verlauf();
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
    windows().verlauf().show();
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
    windows().verlauf().show();
    throwValues({4});
    box().moveCursor(QTextCursor::End);
    QTest::keyClick(&box(), Qt::Key_Return);
    QTest::keyClicks(&box(), QStringLiteral("Pause"));
    QCOMPARE(game().history().text(), QStringLiteral("4\r\nPause"));

    throwValues({5});
    QCOMPARE(game().history().text(), QStringLiteral("4\r\nPause\r\n5"));
    QCOMPARE(box().toPlainText(), QStringLiteral("4\nPause\n5"));

    box().selectAll();
    QTest::keyClick(&box(), Qt::Key_Delete);
    QVERIFY(game().history().isEmpty());
    throwValues({2});
    QCOMPARE(game().history().text(), QStringLiteral("2"));
}

void TestVerlauf::hugePasteIsRefused_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("short") << qsizetype(5);
    QTest::newRow("one over the limit") << Verlauf::PasteLimit + 1;
}

void TestVerlauf::hugePasteIsRefused()
{
    // A paste of ten million characters froze the program for seconds and took hundreds of MB.
    QFETCH(qsizetype, size);
    windows().verlauf().show();
    throwValues({4});
    const qsizetype messages = m_dialogs.messages.size();
    QGuiApplication::clipboard()->setText(QString(size, u'x'));
    box().moveCursor(QTextCursor::End);
    box().paste();
    const bool refused = size > Verlauf::PasteLimit;
    QCOMPARE(game().history().text().size(), refused ? 1 : 1 + size);
    QCOMPARE(m_dialogs.messages.size(), messages + (refused ? 1 : 0));
    if (refused)
        QCOMPARE(m_dialogs.messages.last().text,
                 QStringLiteral("Der eingefügte Text hat 100.001 Zeichen. In den Verlauf lassen "
                                "sich höchstens 100.000 Zeichen auf einmal einfügen; es wurde "
                                "nichts eingefügt."));
}

void TestVerlauf::closingKeepsTheHistory()
{
    // Closing the window must not lose the throws: a re-created window shows all of them.
    QAction *item = m_casino->findChild<QAction *>(QStringLiteral("MVerlauf"));
    item->trigger();
    throwValues({1, 6});
    windows().verlauf().loadedWidget()->close();
    QVERIFY(!item->isChecked());
    QVERIFY(!windows().verlauf().isLoaded());
    QCOMPARE(game().history().text(), QStringLiteral("1\r\n6"));

    throwValues({3});
    item->trigger();
    QCOMPARE(box().toPlainText(), QStringLiteral("1\n6\n3"));
    QVERIFY(!box().toPlainText().contains(QStringLiteral("Text1")));
}

void TestVerlauf::newEmptiesTheBox()
{
    // New clears the history in a shown window too.
    windows().verlauf().show();
    throwValues({2, 3});
    m_casino->MNeu_Click();
    QCOMPARE(box().toPlainText(), QString());
    throwValues({4});
    QCOMPARE(box().toPlainText(), QStringLiteral("4"));
}

void TestVerlauf::rawTextKeepsWhatWasTyped()
{
    // The export writes the edited text unchanged: no-break spaces and soft breaks included.
    windows().verlauf().show();
    box().setPlainText(QStringLiteral("a") + QChar(0x00A0) + QStringLiteral("b\nc"));
    box().moveCursor(QTextCursor::End);
    QTest::keyClick(&box(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box(), QStringLiteral("d"));
    QCOMPARE(game().history().text(),
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
    perform(steps);
    QCOMPARE(game().history().text(), expected);
    QCOMPARE(historyTextOf(box()), expected);
}

void TestVerlauf::perform(const QString &steps)
{
    for (const QString &step : steps.split(u' ')) {
        const QString argument = step.section(u':', 1);
        if (step == u"show"_s) {
            windows().verlauf().show();
        } else if (step == u"close"_s) {
            windows().verlauf().loadedWidget()->close();
        } else if (step == u"new"_s || step.startsWith(u"dice:"_s)) {
            if (!argument.isEmpty())
                game().setDice(static_cast<qint16>(argument.toInt()));
            m_casino->MNeu_Click();
            m_lines.clear();
        } else if (step.startsWith(u"throw"_s)) {
            // throw:152 throws a 1, a 5 and a 2; throws:N makes N lines of changing faces.
            const bool many = step.startsWith(u"throws:"_s);
            game().austausch().Wurfzahl = many ? argument.toInt() : int(argument.size());
            for (int t = 0; t < game().austausch().Wurfzahl; ++t) {
                QStringList faces;
                for (int die = 0; die < game().austausch().Anzahl; ++die) {
                    const int value = many ? int(m_lines.size() + die) % 6 + 1
                                           : argument[t].digitValue();
                    m_random.pushValue(value);
                    faces.append(QString::number(value));
                }
                m_lines.append(faces.join(u' '));
            }
            m_casino->CBKollavo_MouseDown();
        } else if (step.startsWith(u"line:"_s)) { // to the end of a line with the keys
            m_cursorLine = argument.toInt();
            box().moveCursor(QTextCursor::Start);
            for (int k = 0; k < m_cursorLine; ++k)
                QTest::keyClick(&box(), Qt::Key_Down);
            QTest::keyClick(&box(), Qt::Key_End);
        } else if (step.startsWith(u"type:"_s)) { // at the end of the text
            box().moveCursor(QTextCursor::End);
            QTest::keyClicks(&box(), argument);
            m_lines.last() += argument;
        } else if (step.startsWith(u"add:"_s)) { // at the cursor
            QTest::keyClicks(&box(), argument);
            m_lines[m_cursorLine] += argument;
        } else if (step.startsWith(u"note:"_s)) { // a line of its own below the cursor's
            QTest::keyClick(&box(), Qt::Key_Return);
            QTest::keyClicks(&box(), argument);
            m_lines.insert(++m_cursorLine, argument);
        } else if (step == u"undo"_s) {
            QTest::keyClick(&box(), Qt::Key_Z, Qt::ControlModifier);
        } else if (step == u"redo"_s) {
            QTest::keySequence(&box(), QKeySequence::Redo);
        }
    }
}

void TestVerlauf::boxFollowsTheHistory_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("moves") << u"show throws:150 throws:120"_s;
    QTest::newRow("hidden, then shown") << u"throws:150 show throws:60"_s;
    QTest::newRow("seven dice") << u"dice:7 show throws:150 line:75 note:x throws:20"_s;
    QTest::newRow("a note in the middle of a block")
        << u"show throws:250 line:150 note:Pause throws:30"_s;
    QTest::newRow("notes in two blocks") << u"show throws:250 line:40 add:ab line:199 note:x"_s;
    QTest::newRow("New after a note") << u"show throws:250 line:120 note:x new throws:3"_s;
    QTest::newRow("closed and shown again")
        << u"show throws:250 line:150 note:Pause close throws:70 show"_s;
}

void TestVerlauf::boxFollowsTheHistory()
{
    // One line per throw wherever the program's blocks end, and notes where they were typed.
    QFETCH(QString, steps);
    perform(steps);
    QCOMPARE(game().history().text(), m_lines.join(u"\r\n"_s));
    QCOMPARE(box().toPlainText(), m_lines.join(u'\n'));
}

void TestVerlauf::copyAndExportHaveNoSoftBreaks()
{
    // The soft line breaks the box keeps its lines apart with stay inside the box.
    perform(u"show throws:250 line:150 note:Notiz line:95"_s);
    for (int k = 0; k < 10; ++k)
        QTest::keyClick(&box(), Qt::Key_Down, Qt::ShiftModifier);
    box().copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), m_lines.mid(95, 11).join(u'\n').mid(1));
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied->hasHtml() && !copied->html().contains(QChar::LineSeparator));

    QTemporaryDir dir;
    m_dialogs.saveAnswers.push_back(dir.filePath(u"verlauf.txt"_s));
    m_casino->MExport_Click();
    QFile file(dir.filePath(u"verlauf.txt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith(m_lines.join(u"\r\n"_s).toLatin1()));
    QVERIFY(!bytes.contains('?'));
}

void TestVerlauf::everyLineCanBeReached_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<qint32>("throws");
    QTest::newRow("wheel") << u"wheel"_s << 1000;
    QTest::newRow("Page Down") << u"page"_s << 1000;
    QTest::newRow("dragged scroll bar") << u"drag"_s << 1000;
    QTest::newRow("scroll bar's end, game to the count limit") << u"end"_s << 2147483647;
}

void TestVerlauf::everyLineCanBeReached()
{
    // Blocks of many lines must not make the view skip lines it has not laid out yet, and the
    // last line must come into view and take a click and typing.
    QFETCH(QString, way);
    QFETCH(qint32, throws);
    windows().verlauf().show();
    game().austausch().Wurfzahl = throws; // no draws scripted: every throw a 4, two characters a line
    m_casino->CBKollavo_MouseDown();
    const int last = std::min(throws, 32767) - 1;
    QScrollBar &bar = *box().verticalScrollBar();
    box().moveCursor(QTextCursor::Start);
    const int bottom = box().viewport()->height() - box().fontMetrics().lineSpacing();
    for (int lastBottom = lineAt(bottom); lastBottom < last; lastBottom = lineAt(bottom)) {
        if (way == u"wheel"_s) {
            QWheelEvent wheel(QPointF(5, 5), box().mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(box().viewport(), &wheel);
        } else if (way == u"page"_s) {
            QTest::keyClick(&box(), Qt::Key_PageDown);
        } else {
            bar.setSliderDown(true);
            bar.setSliderPosition(way == u"end"_s ? bar.maximum() : bar.sliderPosition() + 1);
            bar.setSliderDown(false);
        }
        if (way == u"end"_s)
            QCOMPARE(lineAt(bottom), last);
        else
            QVERIFY2(lineAt(2) <= lastBottom + 1 && lineAt(bottom) > lastBottom,
                     qPrintable(QString::number(lastBottom)));
    }
    QTest::mouseClick(box().viewport(), Qt::LeftButton, {}, QPoint(2, bottom));
    QTest::keyClick(&box(), Qt::Key_End);
    QTest::keyClicks(&box(), u"x"_s);
    QVERIFY(game().history().text().endsWith(u"4\r\n4x"_s));
    QCOMPARE(game().history().text().count(u'\n'), last);
}

void TestVerlauf::boxWaitsForMemory_data()
{
    QTest::addColumn<bool>("append"); // the lines come by a move, or replace the history
    QTest::addColumn<QString>("boxMeanwhile");

    QTest::newRow("a long move while shown") << true << u"1 2"_s;
    QTest::newRow("a new text, old one dropped") << false << QString();
}

void TestVerlauf::boxWaitsForMemory()
{
    // Without memory for a large write the box must not hand it to Qt: it stays behind the
    // history, read-only so that typing cannot replace the history, says so, and catches up
    // later.
    QFETCH(bool, append);
    QFETCH(QString, boxMeanwhile);
    HistoryText history;
    bool memory = false;
    qint64 asked = 0;
    Verlauf window(history, [&](qint64 bytes) {
        asked = bytes;
        return memory;
    });
    QPlainTextEdit &box = window.TFVerlauf();
    history.replace(u"1 2"_s);
    window.show();
    QCOMPARE(box.toPlainText(), u"1 2"_s);
    QCOMPARE(asked, 0); // a short text is not checked

    const QString lines = u"\r\n6 6 6 6 6 6 6"_s.repeated(20000);
    if (append) {
        HistoryText::Appender appender(history, lines.size());
        appender.ensureRoom(lines.size());
        for (const QChar c : lines)
            appender.put(c.unicode());
    } else {
        history.replace(u"1 2"_s + lines);
    }
    QVERIFY(asked >= lines.size() * qint64(sizeof(QChar)));
    QCOMPARE(box.toPlainText(), boxMeanwhile);
    QVERIFY(box.isReadOnly());
    QVERIFY(!window.memoryNote().isHidden());
    QVERIFY(window.memoryNote().text().startsWith(u"Der Arbeitsspeicher reicht nicht"_s));
    QCOMPARE(box.geometry().top(), window.memoryNote().geometry().bottom() + 1);
    QCOMPARE(box.geometry().bottom(), window.rect().bottom());

    memory = true;
    window.hide();
    window.show();
    QCOMPARE(historyTextOf(box), u"1 2"_s + lines);
    QVERIFY(!box.isReadOnly());
    QVERIFY(window.memoryNote().isHidden());
    QCOMPARE(box.geometry(), window.rect());
}

QTEST_MAIN(TestVerlauf)
#include "tst_verlauf.moc"
