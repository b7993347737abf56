// SPDX-License-Identifier: GPL-3.0-or-later
#include "casino.h"

#include "abs_haeufigkeiten.h"
#include "chart_accessibility.h"
#include "close_request.h"

#include "design_font.h"
#include "dice_area.h"
#include "dialogs.h"
#include "export_data.h"
#include "focus_frame.h"
#include "kollavo_config.h"
#include "memory_shortage.h"
#include "number_format.h"
#include "random_source.h"
#include "rel_haeufigkeiten.h"
#include "resources.h"
#include "roll_button.h"
#include "safe_file.h"
#include "setup.h"
#include "twips.h"
#include "verlauf.h"
#include "window_zoom.h"
#include "wrapping_menu_bar.h"
#include "zufall_dialog.h"


#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>

namespace {

const QString Title = QStringLiteral("Kollavo");

// Design, in pixels at 15 twips per pixel: client area 4410 × 1410 twips with its top-left corner
// at 2115, 2085 on the screen; die slot i at left 120 + 600 i, top 120, 495 × 495.
constexpr QPoint ClientPosition(141, 139);
constexpr QSize ClientSize(294, 94);
constexpr QRect FirstCell(8, 8, 33, 33);
constexpr QRect RollButtonRect(8, 56, 273, 33);
constexpr float SlotLeftTwips = 120;
constexpr float SlotPitchTwips = 600;

const char *const FaceArrayNames[] = {"Eins", "Zwei", "Drei", "Vier", "Fuenf", "Sechs"};

} // namespace

QString infoText()
{
    return QStringLiteral("Kollavo Version " KOLLAVO_VERSION ".\r\n"
                          "Autor: Das Kollavo-Entwicklerteam, Projekt Kollavo\r\n"
                          "Email: " KOLLAVO_CONTACT_EMAIL);
}

Casino::Casino(Dialogs &dialogs, RandomSource &random, PieFunction pie)
    : m_dialogs(dialogs), m_game(random), m_windows(m_game, dialogs, std::move(pie))

{
    setObjectName(QStringLiteral("Casino"));
    setWindowTitle(Title);
    // Before any window exists: Qt keeps the accessible interface it makes first for a widget.
    installMainWindowAccessibility();
    installChartAccessibility();
    watchCloseWhileBlocked(*this, [this] { closeBoxWhileBlocked(); });

    createDiceRow();
    createActions();
    createMenus();

    // Nothing here moves or scales, so the window keeps its design size. The geometry of a
    // window is that of its client area, frame excluded, and the design places the area below
    // the menu bar.
    const int menuHeight = menuWidget()->sizeHint().height();
    setFixedSize(ClientSize.width(), ClientSize.height() + menuHeight);
    setGeometry(QRect(ClientPosition - QPoint(0, menuHeight), size()));

    // What a press will do and what has been gathered, whatever changed it.
    connect(&m_game, &Game::settingsChanged, this, &Casino::updateRollButtonTip);
    connect(&m_game, &Game::reset, this, &Casino::updateRollButtonTip);
    connect(&m_game, &Game::reset, this, [this] {
        m_client->setLastThrow({});
        m_ansage->announce(QStringLiteral("Neues Spiel"));
    });
    connect(&m_game, &Game::thrown, this, &Casino::updateRollButtonTip);

    // For a projector: the menu and the roll button's caption grow, and the window with the
    // menu's rows. The dice stay as drawn: they stand at fixed places in a window of fixed width.
    new WindowZoom(*this);

    Form_Load();

    // Old file contents that a Kollavo killed while writing left in a copy.
    reportAfterThePress([this] {
        for (const QString &report : interruptedWriteReports()) {
            if (!m_closeAfterReport)
                m_dialogs.messageBox(report, Title, Dialogs::Icon::Warning);
        }
    });
}

Casino::~Casino()
{
    Form_Unload(); // terminate: no statistics window outlives the main window or its dialogs
}

void Casino::createDiceRow()
{
    m_client = new DiceArea(this);
    m_client->setObjectName(QStringLiteral("CasinoClient"));
    m_client->setFixedSize(ClientSize);
    setCentralWidget(m_client);

    m_faces.reserve(6);
    for (int value = 1; value <= 6; ++value) {
        auto *cell = new QLabel(m_client);
        cell->setGeometry(FirstCell);
        cell->setAutoFillBackground(true);
        QPalette palette = cell->palette();
        palette.setColor(QPalette::Window, Qt::black);
        cell->setPalette(palette);
        cell->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        cell->setPixmap(Resources::face(value));
        // A picture is nothing to operate; the keyboard goes straight to the roll button.
        cell->setFocusPolicy(Qt::NoFocus);
        m_faces.emplace_back(QString::fromLatin1(FaceArrayNames[value - 1]), cell);
    }

    m_cbKollavo = new RollButton(Title, m_client);
    m_cbKollavo->setObjectName(QStringLiteral("CBKollavo"));
    m_cbKollavo->setGeometry(RollButtonRect);
    m_cbKollavo->setFont(designFont(8.25));
    connect(m_cbKollavo, &RollButton::mouseDown, this, &Casino::CBKollavo_MouseDown);
    m_cbKollavo->setFocus();
    // Framed from the start, not only after the first Tab: the keyboard is here.
    frameWhileFocused(*m_cbKollavo);
    m_ansage = new Announcement(this);
}

void Casino::createActions()
{
    const auto action = [this](const char *name, const QString &caption) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    m_mNeu = action("MNeu", QStringLiteral("Neu"));
    m_mAnzahl = action("MAnzahl", QStringLiteral("Würfelzahl"));
    m_mWuerfe = action("MWuerfe", QStringLiteral("Würfe"));
    m_mAbs = action("Mabs", QStringLiteral("absolute Häufigkeit"));
    m_mRel = action("Mrel", QStringLiteral("relative Häufigkeit"));
    m_mVerlauf = action("MVerlauf", QStringLiteral("Verlauf"));
    m_mExport = action("MExport", QStringLiteral("Daten exportieren"));
    m_mInfo = action("MInfo", QStringLiteral("Info"));
    m_mEnde = action("MEnde", QStringLiteral("Ende"));

    // Throwing without a mouse: F5 in every window of the program, as a press on the button.
    // It is in no menu; the button's tooltip tells of it.
    m_mWuerfeln = action("MWuerfeln", QStringLiteral("Würfeln"));
    m_mWuerfeln->setShortcut(QKeySequence(Qt::Key_F5));
    m_mWuerfeln->setShortcutContext(Qt::ApplicationShortcut);
    addAction(m_mWuerfeln);
    connect(m_mWuerfeln, &QAction::triggered, this, &Casino::CBKollavo_MouseDown);

    m_mZufall = action("MZufall", QStringLiteral("Würfel und Zufall …"));
    connect(m_mZufall, &QAction::triggered, this, &Casino::MZufall_Click);
    // The tray's own menu; the roll button keeps every mouse button for throwing.
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_mZufall);
    connect(m_client, &DiceArea::trayMenuRequested, m_trayMenu,
            [this](const QPoint &pos) { m_trayMenu->popup(pos); });

    connect(m_mNeu, &QAction::triggered, this, &Casino::MNeu_Click);
    connect(m_mAnzahl, &QAction::triggered, this, &Casino::MAnzahl_Click);
    connect(m_mWuerfe, &QAction::triggered, this, &Casino::MWuerfe_Click);
    connect(m_mExport, &QAction::triggered, this, &Casino::MExport_Click);
    connect(m_mInfo, &QAction::triggered, this, &Casino::MInfo_Click);
    connect(m_mEnde, &QAction::triggered, this, &Casino::MEnde_Click);

    const std::pair<QAction *, SharedWindowBase *> items[] = {
        {m_mAbs, &m_windows.absHaeufigkeiten()},
        {m_mRel, &m_windows.relHaeufigkeiten()},
        {m_mVerlauf, &m_windows.verlauf()}};
    for (const auto &[item, window] : items) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this,
                [this, item = item, window = window] { windowItemClicked(item, *window); });
        // A statistics window that is closed or released clears its own item's mark.
        connect(window, &SharedWindowBase::released, item, [item = item] { item->setChecked(false); });
    }
}

void Casino::createMenus()
{
    auto *bar = new WrappingMenuBar(this);
    bar->setObjectName(QStringLiteral("CasinoMenu"));
    bar->resize(ClientSize.width(), bar->height());
    setMenuWidget(bar);
    bar->addAction(m_mNeu);
    bar->addAction(m_mAnzahl);
    bar->addAction(m_mWuerfe);
    m_mHauf = bar->addMenu(QStringLiteral("Fenster"));
    m_mHauf->setObjectName(QStringLiteral("MHauf"));
    m_mHauf->menuAction()->setObjectName(QStringLiteral("MHauf"));
    m_mHauf->addAction(m_mAbs);
    m_mHauf->addAction(m_mRel);
    m_mHauf->addAction(m_mVerlauf);
    bar->addAction(m_mExport);
    bar->addAction(m_mInfo);
    bar->addAction(m_mEnde);
}

const ElementList<QLabel> &Casino::faceArray(int value) const
{
    Q_ASSERT(value >= 1 && value <= 6);
    return m_faces[static_cast<std::size_t>(value - 1)];
}

void Casino::Form_Load()
{
    m_game.setDefaults();
    MNeu_Click();
}

void Casino::MNeu_Click()
{
    const qint16 dice = m_game.dice();
    ElementList<QLabel> &eins = m_faces.front();
    const int existing = eins.count();
    for (int i = 0; i < existing; ++i)
        eins[i].raise();
    for (int i = existing; i < dice; ++i) {
        for (ElementList<QLabel> &array : m_faces) {
            QLabel &cell = array.create(i);
            Twips::setLeft(cell, SlotLeftTwips + SlotPitchTwips * static_cast<float>(i));
            cell.setVisible(true);
        }
        eins[i].raise();
    }
    for (int i = 0; i < dice; ++i) {
        for (ElementList<QLabel> &array : m_faces)
            array[i].setVisible(true);
    }
    for (int i = dice; i < eins.count(); ++i) {
        for (ElementList<QLabel> &array : m_faces)
            array[i].setVisible(false);
    }

    m_game.newGame();
}

template <class Value>
std::optional<Value> Casino::askUntilValid(
    const QString &prompt, Value current,
    std::optional<Value> (*parse)(const QString &, const QLocale &))
{
    std::optional<Value> value;
    // The box asks again until the entry is valid, but not once the program is ending (a
    // desktop logout closes the box and the window together): then nothing changes.
    while (!value && !m_unloaded)
        value = parse(m_dialogs.inputBox(prompt, Title, QString::number(current)), QLocale());
    return m_unloaded ? std::nullopt : value;
}

void Casino::MAnzahl_Click()
{
    const std::optional<qint16> anzahl = askUntilValid(
        QStringLiteral("Geben Sie bitte die Anzahl der Würfel ein. (Zahl zwischen 1 und 7)"),
        m_game.dice(), &Setup::parseAnzahl);
    if (!anzahl)
        return;
    m_game.setDice(*anzahl);
    MNeu_Click();
}

void Casino::MWuerfe_Click()
{
    const std::optional<qint32> wurfzahl =
        askUntilValid(QStringLiteral("Geben Sie bitte die Anzahl der Würfe pro Spielzug ein."),
                      m_game.throwsPerMove(), &Setup::parseWurfzahl);
    if (wurfzahl)
        m_game.setThrowsPerMove(*wurfzahl);
}

void Casino::CBKollavo_MouseDown()
{
    const qint32 throwsAsked = m_game.throwsPerMove();
    const MoveResult result = m_game.move();
    showFaces(result);
    if (result.limitReached)
        reportAfterThePress([this, result, throwsAsked] { reportCountLimit(result, throwsAsked); });
    if (result.outOfMemory) {
        reportAfterThePress([this, result, throwsAsked] {
            m_dialogs.messageBox(
                QStringLiteral("Der Arbeitsspeicher reicht nicht für weitere Würfe.\r\nVon "
                               "den %1 Würfen dieses Spielzugs wurden %2 ausgeführt.\r\n"
                               "Schließen Sie andere Programme oder beginnen Sie mit „Neu“ "
                               "ein neues Spiel.")
                    .arg(throwsAsked)
                    .arg(result.throwsDone),
                Title, Dialogs::Icon::Warning);
        });
    }
}

void Casino::reportAfterThePress(std::function<void()> report)
{
    // Shown once the press has been handled, so the button is not left pressed down behind a
    // modal box; not at all once the window has closed meanwhile ("Ende" in the same turn), or a
    // message would keep a program without windows alive.
    QMetaObject::invokeMethod(
        this,
        [this, report = std::move(report)] {
            if (m_unloaded)
                return;
            m_reportOpen = true;
            report();
            m_reportOpen = false;
            if (m_closeAfterReport)
                close();
        },
        Qt::QueuedConnection);

}

QString rollButtonTip(qint16 dice, qint32 throwsPerMove, qint64 throwsSoFar,
                      const QString &howTheDiceFall)
{
    const auto throws = [](qint64 n) {
        return NumberFormat::integer(n)
               + (n == 1 ? QStringLiteral(" Wurf") : QStringLiteral(" Würfe"));
    };
    QString tip = QStringLiteral("%1 Würfel · %2 pro Spielzug · bisher %3")
                      .arg(NumberFormat::integer(dice), throws(throwsPerMove), throws(throwsSoFar));
    if (!howTheDiceFall.isEmpty())
        tip += QStringLiteral(" · ") + howTheDiceFall;
    return tip + QStringLiteral(" · F5 würfelt");
}

void Casino::updateRollButtonTip()
{
    m_cbKollavo->setToolTip(rollButtonTip(m_game.dice(), m_game.throwsPerMove(), m_game.throws(),
                                          zufallTip(m_game.zufall())));
}

void Casino::MZufall_Click()
{
    // Modal for its window, but opened without a nested event loop: the program (and a test)
    // goes on while it is open, and OK applies the settings.
    auto *dialog = new ZufallDialog(m_game.zufall(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const Zufallseinstellung chosen = dialog->einstellung();
        if (chosen == m_game.zufall())
            return;
        // Revealing or hiding the settings changes no throw: the class keeps its game and sees
        // the loaded probabilities beside its own counts.
        Zufallseinstellung sameButGeheim = m_game.zufall();
        sameButGeheim.geheim = chosen.geheim;
        if (chosen == sameButGeheim) {
            m_game.setZufall(chosen);
            return;
        }
        m_game.setZufall(chosen);
        MNeu_Click();
    });
    dialog->open();
}

void Casino::showFaces(const MoveResult &result)
{
    // Nothing is painted while a move runs, so bringing the last throw's faces to the front
    // looks exactly like doing it for every throw, at a fraction of the cost.
    for (int slot = 0; slot < result.dice; ++slot) {
        const qint16 value = result.lastFaces[static_cast<std::size_t>(slot)];
        m_faces[static_cast<std::size_t>(value - 1)][slot].raise();
    }
    if (result.throwsDone > 0) {
        const auto faces = std::span(result.lastFaces).first(static_cast<std::size_t>(result.dice));
        m_client->setLastThrow(faces);
        m_ansage->announce(moveAnnouncement(faces, result.throwsDone, m_game.throws()));
    }

}

void Casino::reportCountLimit(const MoveResult &result, qint32 throwsAsked)
{
    m_dialogs.messageBox(
        QStringLiteral("Die Summe %1 wurde 32767-mal geworfen; mehr Würfe kann Kollavo für "
                       "eine Summe nicht zählen.\r\nVon den %2 Würfen dieses Spielzugs wurden "
                       "%3 ausgeführt.\r\nMit „Neu“ beginnt ein neues Spiel.")
            .arg(result.limitSum)
            .arg(throwsAsked)
            .arg(result.throwsDone),
        Title, Dialogs::Icon::Warning);
}

void Casino::windowItemClicked(QAction *item, SharedWindowBase &window)
{
    // QAction has already flipped its mark when it reports the click, so the mark the user
    // clicked on is the opposite of the one it shows now.
    const bool wasChecked = !item->isChecked();
    if (wasChecked) {
        window.hide();
        item->setChecked(false);
    } else {
        const bool shown = runOrReportShortage(
            m_dialogs, Title,
            QStringLiteral("Das Fenster „%1“ wurde nicht geöffnet.").arg(item->text()),
            [&window] { window.show(); });
        item->setChecked(shown);
    }
}

void Casino::MInfo_Click()
{
    m_dialogs.messageBox(infoText(), Title, Dialogs::Icon::None);
}

void Casino::MEnde_Click()
{
    close(); // the unload step closes the statistics windows
}

void Casino::closeBoxWhileBlocked()
{
    // A press's message is dropped for it, as for "Ende"; any other dialog asks something
    // first, and the window stays open as Qt has it.
    if (!m_reportOpen)
        return;
    m_closeAfterReport = true;
    if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
        box->reject();
}

bool Casino::event(QEvent *event)
{
    // Another desktop font can wrap the menu onto more rows: the window grows with it, so that
    // the dice and the roll button stay in view.
    if (event->type() == QEvent::LayoutRequest && menuWidget()) {
        const int fitting = ClientSize.height() + menuWidget()->sizeHint().height();
        if (height() != fitting)
            setFixedSize(ClientSize.width(), fitting);
    }
    return QMainWindow::event(event);
}

void Casino::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Casino::Form_Unload()
{
    m_unloaded = true;

    m_windows.unloadAll();
}

void Casino::MExport_Click()
{
    runOrReportShortage(m_dialogs, Title, QStringLiteral("Die Daten wurden nicht exportiert."),
                        [this] { exportData(); });
}

void Casino::exportData()
{
    const QString path = m_dialogs.saveFileName({QStringLiteral("Text (*.txt)")});
    if (path.isEmpty())
        return; // cancelled: nothing is written and nothing changes

    // Streamed: a long history is not copied whole into memory once more.
    qsizetype replaced = 0;
    const QString &history = m_game.history().text();
    const Austausch &values = m_game.austausch();
    if (const auto error = writeFileSafely(path, Export::sizeBound(values, history),
                                           Export::pieces(values, history, &replaced))) {
        m_dialogs.messageBox(
            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2").arg(path, *error),
            Title, Dialogs::Icon::Warning);
        return;
    }
    if (replaced > 0) {
        m_dialogs.messageBox(
            QStringLiteral("Die Daten wurden exportiert. %1 Zeichen des Verlaufs gibt es im "
                           "Zeichensatz Windows-1252 nicht; sie stehen in der Datei als „?“.")
                .arg(replaced),
            Title, Dialogs::Icon::Warning);
    }
}
