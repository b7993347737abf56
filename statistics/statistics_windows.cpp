// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_windows.h"

#include "abs_haeufigkeiten.h"
#include "auswertung.h"
#include "dialogs.h"
#include "distribution.h"
#include "entwicklung.h"
#include "game.h"
#include "rel_haeufigkeiten.h"
#include "verlauf.h"
#include "window_zoom.h"
#include "worksheet_actions.h"
#include "zufallsgroesse.h"

#include <QAction>

namespace {

// Ctrl+Plus and Ctrl+Minus for a window whose texts are all fonts of its widgets.
template <class Window>
Window *zoomable(Window *window)
{
    new WindowZoom(*window);
    return window;
}

} // namespace

StatisticsWindows::StatisticsWindows(Game &game, Dialogs &dialogs, PieFunction pie)
    : m_game(game),
      m_abs([&game, &dialogs] { return zoomable(new AbsHaeufigkeiten(game, dialogs)); }),
      m_rel([&game, &dialogs, pie = std::move(pie)] {
          return zoomable(new RelHaeufigkeiten(game, dialogs, pie));
      }),
      m_verlauf([&game, &dialogs] {
          auto *verlauf = new Verlauf(game.history());
          connect(verlauf, &Verlauf::pasteRefused, verlauf, [&dialogs](const QString &message) {
              dialogs.messageBox(message, QStringLiteral("Verlauf"), Dialogs::Icon::Warning);
          });
          return zoomable(verlauf);
      }),
      m_auswertung([&game] { return new Auswertung(game); }),
      m_entwicklung([&game, &dialogs] { return new Entwicklung(game, dialogs); }),
      m_zufallsgroesse([&game, &dialogs] { return zoomable(new Zufallsgroesse(game, dialogs)); }),
      m_unloadOrder{&m_rel, &m_abs, &m_verlauf, &m_auswertung, &m_entwicklung, &m_zufallsgroesse}
{
    connect(&m_abs, &SharedWindowBase::created, this, &StatisticsWindows::linkTheoryActions);
    connect(&m_rel, &SharedWindowBase::created, this, &StatisticsWindows::linkTheoryActions);

    connect(&game, &Game::reset, this, &StatisticsWindows::followNewGame);
    connect(&game, &Game::thrown, this, &StatisticsWindows::followMove);
}

StatisticsWindows::~StatisticsWindows()
{
    unloadAll();
}

void StatisticsWindows::unloadAll()
{
    // A window that is already unloaded stays so, which makes a second run do nothing.
    for (SharedWindowBase *window : m_unloadOrder)
        window->unload();
}

void StatisticsWindows::followNewGame()
{
    m_rel->showReachableSums();
    m_abs->absH_Refresh();
    m_rel->relH_Refresh();
    m_verlauf.instance();
    refreshTheory();
}

void StatisticsWindows::followMove()
{
    m_abs->absH_Refresh();
    m_rel->relH_Refresh();
    m_verlauf.instance();
    refreshTheory();
}

void StatisticsWindows::refreshTheory()
{
    // These windows exist only once the user has asked for them; a game without them costs
    // nothing more than before.
    if (Auswertung *window = m_auswertung.loaded())
        window->refresh();
    if (Entwicklung *window = m_entwicklung.loaded())
        window->refresh();
    if (Zufallsgroesse *window = m_zufallsgroesse.loaded())
        window->refresh();
}

void StatisticsWindows::showEntwicklung(int sum)
{
    if (sum == 0 && m_game.isSetUp())
        sum = SumDistribution(m_game.dice()).mostLikelySum();
    const bool firstOpening = !m_entwicklung.isLoaded();
    // Chosen before showing: a hidden window draws its chart once, when it appears.
    m_entwicklung->showSum(sum);
    m_entwicklung.showInFront();
    if (firstOpening)
        keepTheTestInView();
}

void StatisticsWindows::keepTheTestInView()
{
    // On a small screen Entwicklung, moved up onto it, would cover Auswertung's χ², degrees of
    // freedom and p-value: it ends left of Auswertung where its chart has room, else left of
    // the numbers.
    QWidget *auswertung = m_auswertung.loadedWidget();
    QWidget *entwicklung = m_entwicklung.loadedWidget();
    if (!auswertung || !auswertung->isVisible() || !entwicklung)
        return;
    QRect numbers;
    for (const char *name : {"ChiQuadrat", "Freiheitsgrade", "pWert"}) {
        if (const auto *number = auswertung->findChild<QWidget *>(QLatin1StringView(name)))
            numbers |= QRect(number->mapToGlobal(QPoint()), number->size());
    }
    const QRect own = entwicklung->frameGeometry();
    if (!own.intersects(numbers))
        return;
    const int frame = own.width() - entwicklung->width();
    for (const int right : {auswertung->frameGeometry().left(), numbers.left()}) {
        const int width = right - own.left() - frame;
        if (width >= entwicklung->minimumSizeHint().width()) {
            entwicklung->resize(width, entwicklung->height());
            return;
        }
    }
}

void StatisticsWindows::linkTheoryActions(QWidget *chart)
{
    const TheoryActions actions = theoryActions(*chart);

    connect(actions.auswertung, &QAction::triggered, this, [this] { m_auswertung.showInFront(); });
    QAction *const entwicklung = actions.entwicklung;
    connect(entwicklung, &QAction::triggered, this,
            [this, entwicklung] { showEntwicklung(entwicklung->data().toInt()); });
    connect(actions.zufallsgroesse, &QAction::triggered, this,
            [this] { m_zufallsgroesse.showInFront(); });
}
