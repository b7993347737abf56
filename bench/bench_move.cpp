// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of a move: drawing and formatting the numbers, against the whole press with the
// windows' work around it.
#include "game.h"
#include "bench_program.h"
#include "bench_util.h"
#include "casino.h"
#include "dialogs.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"
#include "verlauf.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QTextCursor>

#include <cstdio>
#include <memory>

namespace {

constexpr int Runs = 21;
constexpr qint32 Throws = 100000;

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    SilentDialogs silent;
    ClockSeededRandom random;
    auto casino = std::make_unique<Casino>(silent, random);
    casino->show();
    QCoreApplication::processEvents();
    const double startupMs = static_cast<double>(startup.nsecsElapsed()) / 1e6;

    std::printf("Kollavo benchmarks: medians of %d runs\n", Runs);

    // (a) The bare loop: draw, format the line, count.
    HistoryText bare;
    Austausch bareGame;
    // Warm-up: on a virtual machine the processor runs slow for the first few hundred
    // milliseconds of load, which would make the first figures measure the host, not the code.
    for (QElapsedTimer warm; !warm.isValid() || warm.elapsed() < 500;) {
        if (!warm.isValid())
            warm.start();
        Setup::setAnzahl(bareGame, 7);
        bareGame.Wurfzahl = Throws;
        bareGame.Haeufigkeit.clear();
        bareGame.Wurfsummen.clear();
        bareGame.Wurfaugen.clear();
        bare.clear();
        performMove(bareGame, random, bare);
    }
    const double a = Bench::medianMs(
        Runs,
        [&] {
            Setup::setAnzahl(bareGame, 7);
            bareGame.Wurfzahl = Throws;
            bareGame.Haeufigkeit.clear();
            bareGame.Wurfsummen.clear();
            bareGame.Wurfaugen.clear();
            bare.clear();
        },
        [&] { performMove(bareGame, random, bare); });

    // (b) The whole press, history window hidden.
    const double b = Bench::medianMs(
        Runs, [&] { Bench::newGame(*casino, 7, Throws); }, [&] { casino->CBKollavo_MouseDown(); });

    Bench::report("(a) bare loop, 100,000 throws of 7 dice", a, "ms");
    Bench::report("(b) move from the press, history hidden", b, "ms", 8);
    Bench::report("(c) ratio b / a", b / a, "x", 1.5);

    // (d) One die and 2147483647 throws per move: the game runs into the count limit.
    qint32 throwsDone = 0;
    const double d = Bench::medianMs(
        5, [&] { Bench::newGame(*casino, 1, 2147483647); },
        [&] {
            casino->CBKollavo_MouseDown();
            throwsDone = static_cast<qint32>(casino->game().throws());
        });
    char name[96];
    std::snprintf(name, sizeof name, "(d) game of one die up to the count limit (%d throws)", throwsDone);
    Bench::report(name, d, "ms", 50);
    QCoreApplication::processEvents(); // the limit message is shown after the press

    Bench::report("(e) start-up until the main window is shown", startupMs, "ms", 200);

    // The move with the history window shown, against one append of the same text to a box.
    casino->windows().verlauf().show();
    QCoreApplication::processEvents();
    QString sameText;
    const double shown = Bench::medianMs(
        Runs, [&] { Bench::newGame(*casino, 7, Throws); },
        [&] { casino->CBKollavo_MouseDown(); });
    sameText = casino->game().history().text();
    QPlainTextEdit box;
    box.resize(312, 228);
    box.show();
    const double append = Bench::medianMs(
        Runs, [&] { box.clear(); },
        [&] {
            QTextCursor cursor(box.document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(sameText);
        });
    Bench::report("move of 100,000 throws of 7 dice, history window shown", shown, "ms", 300);
    Bench::report("one QPlainTextEdit append of the same text", append, "ms");
    Bench::report("ratio shown move / append", shown / append, "x", 1.5);

    // A character typed into the shown history of 100,000 lines: the history takes the edit.
    QPlainTextEdit &shownBox = casino->windows().verlauf()->TFVerlauf();
    shownBox.moveCursor(QTextCursor::End);
    const double typed = Bench::medianMs(Runs, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&shownBox, &press);
    });
    Bench::report("one character typed into that history", typed, "ms");

    casino->MEnde_Click();
    return 0;
}
