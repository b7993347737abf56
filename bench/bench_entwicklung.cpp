// SPDX-License-Identifier: GPL-3.0-or-later
// The law-of-large-numbers window at the end of a long game: opening it, and its update after a
// move. Given a folder as first argument it also writes PNGs of the window there, after a few
// thousand throws and after the long game, for looking at.
#include "austausch.h"
#include "bench_util.h"
#include "dialogs.h"
#include "entwicklung.h"
#include "game.h"
#include "shared_window.h"

#include <QApplication>
#include <QComboBox>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QLineSeries>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int Runs = 21;
constexpr int Dice = 7;
constexpr int LongGame = 380000;

// The window under measurement, made once in main().
SharedWindow<Entwicklung> *measured = nullptr;
SharedWindow<Entwicklung> &entwicklung()
{
    return *measured;
}

void fillRecord(Austausch &state, int throws, quint32 seed)
{
    QRandomGenerator random(seed);
    state.Wurfsummen.clear();
    state.Wurfsummen.reserve(static_cast<std::size_t>(LongGame) + 10000);
    for (int t = 0; t < throws; ++t) {
        int sum = 0;
        for (int d = 0; d < Dice; ++d)
            sum += random.bounded(1, 7);
        state.Wurfsummen.push_back(static_cast<quint8>(sum));
    }
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void grab(const QDir &folder, const QString &name)
{
    Entwicklung &window = *entwicklung();
    window.show();
    settle();
    window.grab().save(folder.filePath(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Game game;
    Austausch &state = game.austausch();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    state.Anzahl = Dice;
    state.MinSumme = Dice;
    state.MaxSumme = 6 * Dice;
    SilentDialogs dialogs;
    SharedWindow<Entwicklung> window([&] { return new Entwicklung(game, dialogs); });
    measured = &window;

    if (argc > 1) {
        const QDir folder(QString::fromLocal8Bit(argv[1]));
        QDir().mkpath(folder.path());
        fillRecord(state, 0, 1);
        grab(folder, QStringLiteral("entwicklung_leer.png"));
        entwicklung().unload();
        fillRecord(state, 3000, 1);
        grab(folder, QStringLiteral("entwicklung_3000.png"));
        entwicklung().unload();
        fillRecord(state, LongGame, 2);
        grab(folder, QStringLiteral("entwicklung_380000.png"));
        entwicklung()->findChild<QComboBox *>(QStringLiteral("Groesse"))->setCurrentIndex(1);
        grab(folder, QStringLiteral("entwicklung_mittelwert.png"));
        entwicklung()->showSum(Dice);
        grab(folder, QStringLiteral("entwicklung_selten.png"));
        // What an export gets: the chart alone, as vectors, at twice the size.
        QImage image(entwicklung()->chartView().size() * 2, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        entwicklung()->paintChart(painter, QRectF(QPointF(0, 0), image.size()));
        painter.end();
        image.save(folder.filePath(QStringLiteral("entwicklung_export.png")));
        entwicklung().unload();
    }

    fillRecord(state, LongGame, 3);
    const double open = Bench::medianMs(
        Runs, [] { entwicklung().unload(); }, [] {
            entwicklung().show();
            settle();
        });
    const double create = Bench::medianMs(
        Runs, [] { entwicklung().unload(); }, [] { entwicklung().instance(); });
    const double showOnly = Bench::medianMs(
        Runs,
        [] {
            entwicklung().unload();
            entwicklung().instance();
        },
        [] {
            entwicklung().show();
            settle();
        });

    // A move of ten throws, then the update the main window asks for.
    entwicklung().show();
    settle();
    QRandomGenerator random(4);
    const auto move = [&random, &state] {
        for (int t = 0; t < 10; ++t)
            state.Wurfsummen.push_back(static_cast<quint8>(Dice * 3 + random.bounded(0, 8)));
    };
    const double update = Bench::medianMs(Runs, move, [] { entwicklung()->refresh(); });
    // The same, with the layout and painting the event loop does afterwards.
    const double updatePainted = Bench::medianMs(Runs, move, [] {
        entwicklung()->refresh();
        settle();
    });
    const double switchSum = Bench::medianMs(Runs, [] {}, [] {
        static int sum = Dice;
        entwicklung()->showSum(sum = sum == 6 * Dice ? Dice : sum + 1);
    });

    Bench::report("Entwicklung: open and paint, 380,000 throws of 7 dice", open, "ms", 50);
    Bench::report("Entwicklung: create only (reads the whole record)", create, "ms");
    Bench::report("Entwicklung: show and paint a created window", showOnly, "ms");
    Bench::report("Entwicklung: refresh after a move of 10 throws", update, "ms", 5);
    Bench::report("Entwicklung: refresh after a move, then layout and paint", updatePainted, "ms");
    Bench::report("Entwicklung: another sum chosen (one pass over the record)", switchSum, "ms");
    std::printf("(%lld points drawn for %zu throws)\n",
                static_cast<long long>(entwicklung()->beobachtet().count()),
                state.Wurfsummen.size());
    entwicklung().unload();

    return 0;
}
