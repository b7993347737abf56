// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the history window: a move with it shown against hidden, the game to the count
// limit, showing it after a long game, a keystroke in a long history, and the memory it takes.
// Every timed step includes the painting that follows it.
#include "game.h"
#include "bench_program.h"
#include "bench_util.h"
#include "casino.h"
#include "dialogs.h"
#include "export_data.h"
#include "history_text.h"
#include "random_source.h"
#include "safe_file.h"
#include "setup.h"
#include "statistics_windows.h"
#include "verlauf.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr int Runs = 21;
constexpr int LongRuns = 7;
constexpr qint32 Throws = 100000;
constexpr qint32 UpToTheLimit = 2147483647;

void newGame(Casino &casino, qint16 dice, qint32 throws)
{
    Bench::newGame(casino, dice, throws);
    QCoreApplication::processEvents();
}

void press(Casino &casino)
{
    casino.CBKollavo_MouseDown();
    QCoreApplication::processEvents(); // the painting and the count-limit message
}

void setVerlaufShown(Casino &casino, bool shown)
{
    if (shown)
        casino.windows().verlauf().show();
    else
        casino.windows().verlauf().hide();
    QCoreApplication::processEvents();
}

// The high-water mark of this process's resident memory (VmHWM), or of its address space
// (VmPeak, what a limit with ulimit -v counts). Not getrusage(): its maximum survives the exec
// and would be that of the process that started this one.
long peakKilobytes(const QByteArray &field = QByteArrayLiteral("VmHWM:"))
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// One game of seven dice to the count limit, alone in this process: its peak memory. `mode`:
// "hidden", "shown" (the history), or "all": every window open, as a user opens them.
int peakRun(const char *mode)
{
    SilentDialogs silent;
    ClockSeededRandom random;
    Casino casino(silent, random);
    casino.show();
    setVerlaufShown(casino, std::strcmp(mode, "shown") == 0);
    if (std::strcmp(mode, "all") == 0) {
        for (const char *item : {"Mabs", "Mrel", "MVerlauf"})
            casino.findChild<QAction *>(QLatin1StringView(item))->trigger();
        casino.windows().auswertung().show();
        casino.windows().showEntwicklung(0);
        QCoreApplication::processEvents();
    }
    newGame(casino, 7, UpToTheLimit);
    press(casino);
    // "export": the growth of the peak by "Daten exportieren"; "whole": by the file built whole
    // in memory, as the export did before it wrote in pieces.
    if (std::strcmp(mode, "export") == 0 || std::strcmp(mode, "whole") == 0) {
        const long before = peakKilobytes();
        QTemporaryDir folder;
        silent.saveAnswer = folder.filePath(QStringLiteral("daten.txt"));
        if (std::strcmp(mode, "export") == 0) {
            casino.MExport_Click();
        } else {
            const QByteArray bytes = Export::toWindows1252(Export::content(casino.game().austausch(), casino.game().history().text()));
            writeFileSafely(silent.saveAnswer, bytes);
        }
        std::printf("%ld\n%ld\n", before, peakKilobytes());
        casino.MEnde_Click();
        return 0;
    }
    std::printf("%ld\n%ld\n", peakKilobytes(), peakKilobytes(QByteArrayLiteral("VmPeak:")));
    casino.MEnde_Click();
    return 0;
}

// A move of 100,000 throws with the history hidden, then the first one after showing it, for a
// profiler.
int profileRun()
{
    SilentDialogs silent;
    ClockSeededRandom random;
    Casino casino(silent, random);
    casino.show();
    newGame(casino, 7, Throws);
    press(casino);
    setVerlaufShown(casino, true);
    newGame(casino, 7, Throws);
    press(casino);
    casino.MEnde_Click();
    return 0;
}

// The peak resident memory of a --peak run in MB, and its peak address space.
std::pair<double, double> peakOf(const QString &program, const char *mode)
{
    QProcess child;
    child.start(program, {QStringLiteral("--peak"), QString::fromLatin1(mode)});
    child.waitForFinished(-1);
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    return {lines.value(0).toDouble() / 1024.0, lines.value(1).toDouble() / 1024.0};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0)
        return peakRun(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "--profile") == 0)
        return profileRun();

    SilentDialogs silent;
    ClockSeededRandom random;
    auto casino = std::make_unique<Casino>(silent, random);
    casino->show();
    QCoreApplication::processEvents();
    std::printf("Kollavo history window benchmarks: medians\n");

    // Warm-up, see bench_move.
    for (QElapsedTimer warm; !warm.isValid() || warm.elapsed() < 500;) {
        if (!warm.isValid())
            warm.start();
        newGame(*casino, 7, Throws);
        press(*casino);
    }

    // A move with the window hidden, then shown all the time.
    const auto move = [&](bool show) {
        setVerlaufShown(*casino, show);
        return Bench::medianMs(
            Runs, [&] { newGame(*casino, 7, Throws); }, [&] { press(*casino); });
    };
    const double moveHidden = move(false);
    const double moveShown = move(true);
    Bench::report("move of 100,000 throws of 7 dice, history hidden", moveHidden, "ms");
    Bench::report("the same move, history shown", moveShown, "ms", 30);
    Bench::report("ratio shown / hidden", moveShown / moveHidden, "x", 4);

    // The first move after the window was shown costs more: the memory the catch-up freed is
    // allocated afresh.
    std::vector<double> firstMoves;
    for (int run = 0; run < Runs; ++run) {
        setVerlaufShown(*casino, false);
        newGame(*casino, 7, Throws);
        press(*casino);
        setVerlaufShown(*casino, true);
        newGame(*casino, 7, Throws);
        firstMoves.push_back(Bench::medianMs(1, [&] { press(*casino); }));
    }
    std::sort(firstMoves.begin(), firstMoves.end());
    Bench::report("the same move, the first after showing the history",
                  firstMoves[firstMoves.size() / 2], "ms");

    // The move of 100,000 throws on top of a long history.
    setVerlaufShown(*casino, true);
    const double onTop = Bench::medianMs(
        Runs,
        [&] {
            newGame(*casino, 7, 300000);
            press(*casino);
            casino->game().setThrowsPerMove(Throws / 2);
        },
        [&] { press(*casino); });
    Bench::report("move of 50,000 throws after 300,000, history shown", onTop, "ms");

    // Seven dice to the count limit in one move.
    const auto toTheLimit = [&] {
        return Bench::medianMs(
            LongRuns, [&] { newGame(*casino, 7, UpToTheLimit); }, [&] { press(*casino); });
    };
    setVerlaufShown(*casino, false);
    const double limitHidden = toTheLimit();
    const auto lines = casino->game().history().text().count(u'\n') + 1;
    char name[96];
    std::snprintf(name, sizeof name, "seven dice to the count limit (%lld lines), all hidden",
                  static_cast<long long>(lines));
    Bench::report(name, limitHidden, "ms");
    setVerlaufShown(*casino, true);
    Bench::report("the same, history shown", toTheLimit(), "ms", 150);
    for (SharedWindowBase *window : casino->windows().all())
        window->show();
    QCoreApplication::processEvents();
    Bench::report("the same, every window shown", toTheLimit(), "ms", 150);
    for (SharedWindowBase *window : casino->windows().all())
        window->unload();
    QCoreApplication::processEvents();

    // Showing the history window after a game to the count limit with it hidden.
    std::vector<double> games, opens;
    for (int run = 0; run < LongRuns; ++run) {
        setVerlaufShown(*casino, false);
        newGame(*casino, 7, UpToTheLimit);
        games.push_back(Bench::medianMs(1, [&] { press(*casino); }));
        opens.push_back(Bench::medianMs(1, [&] { setVerlaufShown(*casino, true); }));
    }
    std::sort(games.begin(), games.end());
    std::sort(opens.begin(), opens.end());
    const double game = games[games.size() / 2];
    const double open = opens[opens.size() / 2];
    Bench::report("showing the history after that game, hidden", open, "ms", 60);
    Bench::report("ratio showing / the game's move", open / game, "x", 3);

    // A character typed at the end, and in the middle, of the history at the count limit.
    QPlainTextEdit &box = casino->windows().verlauf()->TFVerlauf();
    const auto typeAt = [&](QTextCursor::MoveOperation where) {
        box.moveCursor(where);
        if (where == QTextCursor::Start)
            box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum() / 2);
        box.setTextCursor(box.cursorForPosition(box.viewport()->rect().center()));
        QCoreApplication::processEvents();
        return Bench::medianMs(Runs, [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&box, &press);
            QCoreApplication::processEvents();
        });
    };
    Bench::report("one character typed at the end of that history", typeAt(QTextCursor::End),
                  "ms", 2);
    Bench::report("one character typed in its middle", typeAt(QTextCursor::Start), "ms", 2);
    const double taken = Bench::medianMs(Runs, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        casino->game().history().text();
    });
    Bench::report("a character typed there, and the history read", taken, "ms");

    casino->MEnde_Click();
    casino.reset();

    // Peak memory, each game in a process of its own.
    const QString self = QCoreApplication::applicationFilePath();
    const double peakHidden = peakOf(self, "hidden").first;
    const double peakShown = peakOf(self, "shown").first;
    Bench::report("peak memory, game to the count limit, history hidden (MB)", peakHidden, "MB");
    Bench::report("the same, history shown (MB)", peakShown, "MB");
    Bench::report("ratio shown / hidden", peakShown / peakHidden, "x", 1.5);
    const auto [peakAll, addressSpaceAll] = peakOf(self, "all");
    Bench::report("the same, every window open (MB)", peakAll, "MB");
    Bench::report("its peak address space (MB)", addressSpaceAll, "MB");
    const auto [beforeExport, afterExport] = peakOf(self, "export");
    const auto [beforeWhole, afterWhole] = peakOf(self, "whole");
    Bench::report("export of that game: growth of the peak (MB)", afterExport - beforeExport, "MB");
    Bench::report("the file built whole first: growth of the peak (MB)", afterWhole - beforeWhole,
                  "MB");
    return 0;
}
