// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_actions.h"
#include "element_list.h"
#include "fakes.h"
#include "line_element.h"
#include "memory_shortage.h"
#include "shared_window.h"
#include "twips.h"
#include "wrapping_menu_bar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <new>

// A window as the program's windows are: loaded by its constructor.
class ProbeWindow : public QWidget
{
public:
    ProbeWindow() { ++loads; }
    static inline int loads = 0;
};

// A window that shows dialogs: it takes them in its constructor.
class DialogWindow : public QWidget
{
public:
    explicit DialogWindow(Dialogs &dialogs) : dialogs(dialogs) {}
    Dialogs &dialogs;
};

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void twipsSnapToPixelsHalfToEven_data();
    void twipsSnapToPixelsHalfToEven();
    void geometryReadsBackWhatWasApplied();
    void createdElementCopiesElementZeroAsItIsNow();
    void pictureElementsKeepTheirPicture();
    void lineEndsSnapAndCopy();
    void sharedWindowLifecycle();
    void closingDetachesAtOnce();
    void everyWindowGetsTheAttachedDialogs();
    void menuBarWrapsInsteadOfHiding_data();
    void menuBarWrapsInsteadOfHiding();
    void keyboardWalksEveryMenuItem_data();
    void keyboardWalksEveryMenuItem();
    void keyboardItemStandsOutAndActs();
    void shortageKeepsTheProgram_data();
    void shortageKeepsTheProgram();
    void shortageInAnEventIsCaught();
    void closedDialogGivesTheFocusBack_data();
    void closedDialogGivesTheFocusBack();
};

void TestPlatform::twipsSnapToPixelsHalfToEven_data()
{
    QTest::addColumn<float>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("whole pixel") << 120.0f << 8;
    QTest::newRow("half pixel 0.5 to 0") << 7.5f << 0;
    QTest::newRow("half pixel 1.5 to 2") << 22.5f << 2;
    QTest::newRow("half pixel 2.5 to 2") << 37.5f << 2;
    QTest::newRow("grid line at 412.5: 27.5 to 28") << 412.5f << 28;
    QTest::newRow("bar height 3712.5: 247.5 to 248") << 3712.5f << 248;
    QTest::newRow("below half") << 955.0f << 64;
    QTest::newRow("negative") << -1000.0f << -67;
}

void TestPlatform::twipsSnapToPixelsHalfToEven()
{
    // Positions are placed on whole pixels with the program's one rounding rule.
    QFETCH(float, twips);
    QFETCH(int, pixels);
    QCOMPARE(Twips::toPixels(twips), pixels);
}

void TestPlatform::geometryReadsBackWhatWasApplied()
{
    // Code that computes from a position it set must see where the element really is.
    QWidget parent;
    QWidget child(&parent);
    Twips::setLeft(child, 1555);
    Twips::setTop(child, 412.5f);
    Twips::setWidth(child, 955);
    Twips::setHeight(child, -20);
    QCOMPARE(Twips::left(child), 1560.0f);
    QCOMPARE(Twips::top(child), 420.0f);
    QCOMPARE(Twips::width(child), 960.0f);
    QCOMPARE(Twips::height(child), 0.0f);
    QCOMPARE(child.geometry(), QRect(104, 28, 64, 0));
}

void TestPlatform::createdElementCopiesElementZeroAsItIsNow()
{
    // A new element copies element 0 as it is at that moment and starts invisible.
    QWidget window;
    auto *first = new QLabel(QStringLiteral("vorher"), &window);
    ElementList<QLabel> list(QStringLiteral("absH"), first);
    first->setGeometry(40, 232, 17, 41);
    first->setText(QStringLiteral("7"));
    first->setToolTip(QStringLiteral("12"));
    QFont bold = first->font();
    bold.setBold(true);
    first->setFont(bold);
    first->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    first->setAutoFillBackground(true);
    QPalette palette = first->palette();
    palette.setColor(QPalette::Window, QColor(42, 0, 0));
    first->setPalette(palette);
    first->setFrameStyle(QFrame::Box | QFrame::Plain);
    window.show();

    QLabel &copy = list.create(1);
    QCOMPARE(list.count(), 2);
    QCOMPARE(&list[1], &copy);
    QCOMPARE(copy.parentWidget(), &window);
    QVERIFY(copy.isHidden());
    QCOMPARE(copy.objectName(), QStringLiteral("absH"));
    QCOMPARE(copy.property("Index").toInt(), 1);
    QCOMPARE(first->property("Index").toInt(), 0);
    QCOMPARE(copy.geometry(), first->geometry());
    QCOMPARE(copy.text(), QStringLiteral("7"));
    QCOMPARE(copy.toolTip(), QStringLiteral("12"));
    QVERIFY(copy.font().bold());
    QCOMPARE(copy.alignment(), first->alignment());
    QVERIFY(copy.autoFillBackground());
    QCOMPARE(copy.palette().color(QPalette::Window), QColor(42, 0, 0));
    QCOMPARE(copy.frameStyle(), first->frameStyle());
}

void TestPlatform::pictureElementsKeepTheirPicture()
{
    // A label holds a picture or a caption; copying the caption must not drop the picture.
    QWidget window;
    auto *first = new QLabel(&window);
    QPixmap picture(31, 31);
    picture.fill(Qt::red);
    first->setPixmap(picture);
    ElementList<QLabel> list(QStringLiteral("Eins"), first);
    const QLabel &copy = list.create(1);
    QVERIFY(!copy.pixmap().isNull());
    QCOMPARE(copy.pixmap().toImage().pixelColor(15, 15), QColor(Qt::red));
}

void TestPlatform::lineEndsSnapAndCopy()
{
    // A grid line's second end and label follow the y its first end really received.
    QWidget window;
    window.resize(422, 275);
    auto *line = new LineElement(&window);
    ElementList<LineElement> list(QStringLiteral("Niveau"), line);
    line->setX1(0);
    line->setX2(6330);
    line->setY1(412.5f);
    line->setY2(line->y1());
    QCOMPARE(line->y1(), 420.0f);
    QCOMPARE(line->y2(), 420.0f);
    QCOMPARE(line->geometry(), QRect(0, 28, 423, 1));

    LineElement &copy = list.create(1);
    QVERIFY(copy.isHidden());
    QCOMPARE(copy.x2(), 6330.0f);
    QCOMPARE(copy.y1(), 420.0f);
    copy.setY1(-300);
    copy.setY2(-300);
    QCOMPARE(copy.geometry().top(), -20);
}

void TestPlatform::sharedWindowLifecycle()
{
    // First touch creates and loads the window hidden; unload runs the unload step and destroys
    // it; the next touch creates it anew.
    SharedWindow<ProbeWindow> shared;
    QSignalSpy released(&shared, &SharedWindowBase::released);
    ProbeWindow::loads = 0;
    QVERIFY(!shared.isLoaded());

    ProbeWindow &first = shared.instance();
    QCOMPARE(ProbeWindow::loads, 1);
    QVERIFY(!first.isVisible());
    QCOMPARE(&shared.instance(), &first);
    QCOMPARE(ProbeWindow::loads, 1);

    shared.show();
    QVERIFY(first.isVisible());
    shared.hide();
    QVERIFY(shared.isLoaded());
    QVERIFY(!first.isVisible());
    QCOMPARE(released.count(), 0);

    QPointer<ProbeWindow> watch(&first);
    shared.unload();
    QVERIFY(watch.isNull());
    QCOMPARE(released.count(), 2); // unload and terminate
    QVERIFY(!shared.isLoaded());

    shared.instance();
    QCOMPARE(ProbeWindow::loads, 2);
    shared.unload();
}

void TestPlatform::closingDetachesAtOnce()
{
    // A window closed by its close box is gone for the program at once, although Qt deletes it
    // later: a touch in between must get a new window, not the dying one.
    SharedWindow<ProbeWindow> shared;
    shared.show();
    QPointer<QWidget> closed = shared.loadedWidget();
    closed->close();
    QVERIFY(!shared.isLoaded());
    QWidget *fresh = &shared.instance();
    QVERIFY(fresh != closed.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(closed.isNull());
    QVERIFY(shared.isLoaded());
    shared.unload();
}

void TestPlatform::everyWindowGetsTheAttachedDialogs()
{
    // A window re-created after a close must still show its dialogs as the main window's, not
    // lose them or keep another's.
    ScriptedDialogs scripted;
    Dialogs &mainWindowDialogs = scripted;
    SharedWindow<DialogWindow> shared([&] { return new DialogWindow(mainWindowDialogs); });
    QCOMPARE(&shared->dialogs, &mainWindowDialogs);
    shared.loadedWidget()->close();
    QCOMPARE(&shared->dialogs, &mainWindowDialogs);
    shared.unload();

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

namespace {

const char *const MenuCaptions[] = {"Neu", "Würfelzahl", "Würfe", "Fenster", "Daten exportieren",
                                    "Info", "Ende"};

// The main window's menu: six items and the menu "Fenster" in fourth place.
QStringList fillMenu(WrappingMenuBar &bar)
{
    QStringList captions;
    for (const char *caption : MenuCaptions) {
        captions << QString::fromUtf8(caption);
        if (captions.size() == 4)
            bar.addMenu(captions.last())->addAction(QStringLiteral("absolute Häufigkeit"));
        else
            bar.addAction(new QAction(captions.last(), &bar));
    }
    return captions;
}

// A window with the bar on top and a control below that has the focus.
struct MenuWindow
{
    QWidget window;
    WrappingMenuBar *bar = new WrappingMenuBar(&window);
    QLineEdit *edit = new QLineEdit(&window);
    QStringList captions;

    MenuWindow(int width, int pointSize, const QPalette &palette = {})
    {
        if (pointSize > 0) {
            QFont font = window.font();
            font.setPointSize(pointSize);
            window.setFont(font);
        }
        window.setPalette(palette);
        captions = fillMenu(*bar);
        bar->resize(width, bar->sizeHint().height());
        edit->move(0, bar->height() + 10);
        window.resize(width, bar->height() + 60);
        window.show();
        window.activateWindow();
        edit->setFocus();
    }
    QString item() const { return bar->keyboardItem() ? bar->keyboardItem()->text() : QString(); }
};

} // namespace

void TestPlatform::keyboardWalksEveryMenuItem_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pointSize");
    QTest::newRow("one row") << 1200 << 0;
    QTest::newRow("narrow window") << 294 << 0;
    QTest::newRow("18 pt desktop font") << 520 << 18;
}

void TestPlatform::keyboardWalksEveryMenuItem()
{
    // Alt and the arrows reached only the first row: every item of every row must be reachable,
    // in order and around the ends, and Escape gives the focus back.
    QFETCH(int, width);
    QFETCH(int, pointSize);
    MenuWindow w(width, pointSize);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QCOMPARE(QApplication::focusWidget(), w.edit);

    QTest::keyClick(w.edit, Qt::Key_Alt);
    QCOMPARE(QApplication::focusWidget(), w.bar);
    QStringList walked;
    for (qsizetype i = 0; i < w.captions.size(); ++i) {
        walked << w.item();
        QTest::keyClick(w.bar, Qt::Key_Right);
    }
    QCOMPARE(walked, w.captions);
    QCOMPARE(w.item(), w.captions.first());
    QTest::keyClick(w.bar, Qt::Key_Left);
    QCOMPARE(w.item(), w.captions.last());
    QTest::keyClick(w.bar, Qt::Key_Escape);
    QCOMPARE(w.item(), QString());
    QCOMPARE(QApplication::focusWidget(), w.edit);

    QTest::keyClick(w.edit, Qt::Key_F10);
    QCOMPARE(w.item(), w.captions.first());
    QTest::keyClick(w.bar, Qt::Key_Alt);
    QCOMPARE(w.item(), QString());
}

void TestPlatform::keyboardItemStandsOutAndActs()
{
    // The walked item showed no highlight, and on a dark desktop none must be lost either.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(35, 35, 35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Button, QColor(35, 35, 35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    MenuWindow w(294, 0, dark);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QMenuBar *row = w.bar->rows().front();
    QAction *neu = row->actions().front();
    const QRect area = row->actionGeometry(neu);
    const auto highlighted = [&] {
        const QImage image = row->grab(area).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == dark.color(QPalette::Highlight);
        return count > image.width() * image.height() / 2;
    };
    QVERIFY(!highlighted());
    QTest::keyClick(w.edit, Qt::Key_Alt);
    QVERIFY(highlighted());

    // Return triggers an item; Return and Down open "Fenster".
    QSignalSpy triggered(neu, &QAction::triggered);
    QTest::keyClick(w.bar, Qt::Key_Return);
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(QApplication::focusWidget(), w.edit);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
        QTest::keyClick(w.edit, Qt::Key_F10);
        while (w.item() != QStringLiteral("Fenster"))
            QTest::keyClick(w.bar, Qt::Key_Right);
        QMenu *fenster = w.bar->keyboardItem()->menu();
        QTest::keyClick(w.bar, key);
        QVERIFY(fenster->isVisible());
        fenster->hide();
    }
}

namespace {

// Dialogs that belong to another window, as the program's belong to the main window: while one
// is open, that window is the active one. Each is cancelled.
class ForeignDialogs final : public Dialogs
{
public:
    explicit ForeignDialogs(QWidget &owner) : m_owner(owner) {}
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    void messageBox(const QString &, const QString &, Icon) override { takeActivation(); }
    QString saveFileName(const QStringList &, QString *, const QString &) override
    {
        takeActivation();
        return {};
    }
    bool printDialog(QPrinter &) override
    {
        takeActivation();
        return false;
    }

private:
    void takeActivation()
    {
        m_owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_owner));
    }
    QWidget &m_owner;
};

} // namespace

void TestPlatform::closedDialogGivesTheFocusBack_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("save") << QStringLiteral("MBildSpeichern");
    QTest::newRow("print") << QStringLiteral("MDrucken");
}

void TestPlatform::closedDialogGivesTheFocusBack()
{
    // After a dialog the keyboard was left in the main window, not in the chart it came from.
    QFETCH(QString, action);
    QWidget owner;
    owner.show();
    ForeignDialogs dialogs(owner);
    QWidget chart;
    auto *edit = new QLineEdit(&chart);
    QMenu menu;
    addChartActions(menu, chart, dialogs,
                    {[] { return QSize(10, 10); }, [](QPainter &) {}, [] { return QString(); },
                     [] { return QString(); }});
    chart.show();
    chart.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&chart));
    edit->setFocus();

    chart.findChild<QAction *>(action)->trigger();
    QTRY_VERIFY(chart.isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), edit);
}

void TestPlatform::shortageKeepsTheProgram_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("notDone");
    QTest::newRow("image copy, drawing") << QStringLiteral("MBildKopieren")
                                         << QStringLiteral("Das Bild wurde nicht kopiert.");
    QTest::newRow("image save, in the dialog") << QStringLiteral("MBildSpeichern")
                                               << QStringLiteral("Das Bild wurde nicht gespeichert.");
    QTest::newRow("table copy") << QStringLiteral("MTabelleKopieren")
                                << QStringLiteral("Die Tabelle wurde nicht kopiert.");
    QTest::newRow("print, in the dialog") << QStringLiteral("MDrucken")
                                          << QStringLiteral("Es wurde nicht gedruckt.");
}

void TestPlatform::shortageKeepsTheProgram()
{
    // Memory running out in a chart command said what was not done instead of ending the
    // program with std::bad_alloc, and the game with it.
    QFETCH(QString, action);
    QFETCH(QString, notDone);
    ScriptedDialogs dialogs;
    const auto fail = []() -> QString { throw std::bad_alloc(); };
    dialogs.whileFileDialogOpen = fail;
    dialogs.saveAnswers.push_back(QStringLiteral("nie.png"));
    dialogs.printAnswers.push_back(true);
    QWidget chart;
    chart.setWindowTitle(QStringLiteral("Diagramm"));
    QMenu menu;
    addChartActions(menu, chart, dialogs,
                    {[] { return QSize(10, 10); }, [fail](QPainter &) { fail(); },
                     [] { return QString(); }, fail});

    chart.findChild<QAction *>(action)->trigger();

    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.first().text,
             notDone + QStringLiteral("\r\nDer Arbeitsspeicher reicht nicht aus. Das Spiel bleibt "
                                      "erhalten; schließen Sie andere Programme und versuchen Sie "
                                      "es noch einmal."));
    QCOMPARE(dialogs.messages.first().title, QStringLiteral("Diagramm"));
}

void TestPlatform::shortageInAnEventIsCaught()
{
    // The last line: std::bad_alloc out of any event handler must not end the program; a burst
    // of them is told once.
    struct Failing final : QObject
    {
        bool event(QEvent *) override { throw std::bad_alloc(); }
    } failing;
    auto *app = qobject_cast<GuardedApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    QSignalSpy told(app, &GuardedApplication::memoryRanShort);
    QEvent event(QEvent::User);
    QCOMPARE(QCoreApplication::sendEvent(&failing, &event), false);
    QCoreApplication::sendEvent(&failing, &event);
    QVERIFY(told.wait());
    QCoreApplication::processEvents();
    QCOMPARE(told.count(), 1);
}

void TestPlatform::menuBarWrapsInsteadOfHiding_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("oneRow");
    QTest::newRow("narrow window") << 294 << false;
    QTest::newRow("wide window") << 1200 << true;
}

void TestPlatform::menuBarWrapsInsteadOfHiding()
{
    // Every item must stay in view, in its order, whatever the window's width.
    QFETCH(int, width);
    QFETCH(bool, oneRow);
    WrappingMenuBar bar;
    bar.resize(width, 30);
    QStringList expected;
    for (const char *caption : {"Neu", "Würfelzahl", "Würfe", "Fenster", "Daten exportieren",
                                "Info", "Ende"}) {
        expected << QString::fromUtf8(caption);
        if (expected.size() == 4)
            bar.addMenu(expected.last());
        else
            bar.addAction(new QAction(expected.last(), &bar));
    }
    bar.resize(width, bar.sizeHint().height());

    QStringList shown;
    for (const QMenuBar *row : bar.rows()) {
        for (QAction *a : row->actions()) {
            shown << a->text();
            QVERIFY(row->actionGeometry(a).right() < width);
        }
    }
    QCOMPARE(shown, expected);
    QCOMPARE(bar.rows().size() == 1, oneRow);
}

// The program's own application object, so that its guard of the event dispatch is tested.
QTEST_MAIN_WRAPPER(TestPlatform, QTEST_QAPP_SETUP(GuardedApplication) QTEST_DISABLE_KEYPAD_NAVIGATION)
#include "tst_platform.moc"
