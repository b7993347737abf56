// SPDX-License-Identifier: GPL-3.0-or-later
// Runs once per offscreen screen configuration (see CMakeLists.txt); the expectations follow it.
#include "casino.h"
#include "fakes.h"
#include "rel_haeufigkeiten.h"
#include "resources.h"
#include "screen_fit.h"
#include "statistics_windows.h"

#include <QAction>
#include <QFontInfo>
#include <QApplication>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_casino = startProgram(m_dialogs, m_random); }
    void cleanup() { endProgram(m_casino); }
    void fitInto_data();
    void fitInto();
    void opensOnScreen_data();
    void opensOnScreen();
    void scaledScreen();
    void theoryBesideTheOthers();
    void newWindowsOnTheScreen();
    void zoomForAProjector_data();
    void zoomForAProjector();

private:
    QWidget *open(const QString &item, const QString &window);
    ScriptedDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestPlacement::fitInto_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 1024, 768);
    QTest::newRow("touching every edge stays") << screen << screen << screen;
    QTest::newRow("one pixel below, up by one")
        << QRect(633, 513, 264, 256) << screen << QRect(633, 512, 264, 256);
    QTest::newRow("above and left, down and right")
        << QRect(-30, -5, 200, 100) << screen << QRect(0, 0, 200, 100);
    QTest::newRow("wholly off, to the nearest corner")
        << QRect(1266, 1026, 528, 512) << screen << QRect(496, 256, 528, 512);
    QTest::newRow("wider, shrunk in width only")
        << QRect(100, 100, 1100, 200) << screen << QRect(0, 100, 1024, 200);
    QTest::newRow("second screen below a panel")
        << QRect(1200, 0, 300, 200) << QRect(1280, 28, 1024, 740) << QRect(1280, 28, 300, 200);
}

void TestPlacement::fitInto()
{
    // Moved further than needed, too little, or shrunk where it fits: the window leaves its
    // design position for nothing, or hangs off the screen.
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(ScreenFit::fitInto(frame, available), expected);
}

QWidget *TestPlacement::open(const QString &item, const QString &window)
{
    m_casino->findChild<QAction *>(item)->trigger();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == window && w->isVisible())
            return w;
    }
    return nullptr;
}

void TestPlacement::opensOnScreen_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QRect>("design");
    QTest::addColumn<bool>("fits");

    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (screen != QSize(1280, 1024) && screen != QSize(1024, 768))
        QSKIP("needs a 1280 × 1024 or 1024 × 768 screen from the offscreen configuration");
    const bool large = screen == QSize(1280, 1024);
    QTest::newRow("absHaeufigkeiten")
        << u"Mabs"_s << u"absHaeufigkeiten"_s << QRect(575, 76, 422, 275) << true;
    QTest::newRow("relHaeufigkeiten")
        << u"Mrel"_s << u"relHaeufigkeiten"_s << QRect(633, 513, 264, 256) << large;
    QTest::newRow("Verlauf") << u"MVerlauf"_s << u"Verlauf"_s << QRect(107, 410, 312, 228) << true;
}

void TestPlacement::opensOnScreen()
{
    // A statistics window opening partly below the screen, at its first opening or after being
    // closed and created again, cannot be read; one moved although it fits, or moved again after
    // the user has placed it, leaves where it belongs.
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(QRect, design);
    QFETCH(bool, fits);

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (const bool recreated : {false, true}) {
        QWidget *opened = open(item, window);
        QVERIFY(opened);
        if (fits) {
            QCOMPARE(opened->geometry(), design);
        } else { // up just enough: the frame's bottom on the screen's
            QCOMPARE(opened->frameGeometry().bottom(), available.bottom());
            QCOMPARE(opened->geometry().x(), design.x());
            QCOMPARE(opened->size(), design.size());
        }
        if (recreated) {
            opened->move(900, 700);
            open(item, window); // hides
            QCOMPARE(open(item, window)->frameGeometry().topLeft(), QPoint(900, 700));
        } else {
            opened->close();
        }
    }
}

void TestPlacement::scaledScreen()
{
    // On a screen with a device pixel ratio of 2 the dice must use the images drawn for it, and
    // the pie a surface with every device pixel, or both look blurred.
    if (QGuiApplication::primaryScreen()->devicePixelRatio() != 2)
        QSKIP("needs a screen with a device pixel ratio of 2 from the offscreen configuration");

    const QPixmap face = Resources::face(6);
    QCOMPARE(face.size(), QSize(62, 62));
    QCOMPARE(face.devicePixelRatio(), 2.0);

    auto *pie = qobject_cast<RelHaeufigkeiten *>(open(u"Mrel"_s, u"relHaeufigkeiten"_s));
    QVERIFY(pie);
    QCOMPARE(pie->geometry(), QRect(633, 513, 264, 256));
    QCOMPARE(pie->surface().size(), QSize(528, 512));

    // Dragged onto the unscaled screen beside it, the pie is drawn again for that one.
    pie->move(1400, 100);
    QTRY_COMPARE(pie->surface().devicePixelRatio(), 1.0);
    QCOMPARE(pie->surface().size(), QSize(264, 256));
}

void TestPlacement::theoryBesideTheOthers()
{
    // "Auswertung" and "Entwicklung" opening over the main window or over each other hide what
    // a lesson compares; on a small screen they must still lie wholly on it.
    for (const QString &item : {u"Mabs"_s, u"Mrel"_s, u"MVerlauf"_s})
        m_casino->findChild<QAction *>(item)->trigger();
    windows().auswertung().showInFront();
    windows().showEntwicklung(0);
    QWidget *theory[] = {windows().auswertung().loadedWidget(), windows().entwicklung().loadedWidget()};
    QVERIFY(theory[0] && theory[1]);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (QWidget *w : theory)
        QVERIFY2(available.contains(w->frameGeometry()), qPrintable(w->objectName()));
    // Where the two must overlap, Entwicklung leaves the test's numbers in view, also once
    // its layout has settled; a screen narrower than a classroom's leaves no room for that.
    QCoreApplication::processEvents();
    for (const char *name : {"ChiQuadrat", "Freiheitsgrade", "pWert"}) {
        if (available.width() < 1024)
            break;
        const QWidget *number = theory[0]->findChild<QWidget *>(QLatin1StringView(name));
        QVERIFY(number);
        const QRect shown(number->mapToGlobal(QPoint()), number->size());
        QVERIFY2(!theory[1]->frameGeometry().intersects(shown), name);
    }
    // Opened before the first throw, Auswertung grows for the longer verdict that the throws
    // bring, and must stay on the screen.
    m_dialogs.inputAnswers = {u"2"_s, u"20"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    QList<int> faces;
    for (int i = 0; i < 40; ++i)
        faces << 1 + i % 6;
    m_random.pushValues(faces);
    m_casino->CBKollavo_MouseDown();
    QVERIFY2(available.contains(theory[0]->frameGeometry()),
             qPrintable(u"%1 %2"_s.arg(theory[0]->frameGeometry().bottom()).arg(available.bottom())));
    if (available.size() != QSize(1280, 1024))
        return;

    const QRect main = m_casino->frameGeometry();
    QVERIFY(!theory[0]->frameGeometry().intersects(main));
    QVERIFY(!theory[1]->frameGeometry().intersects(main));
    QVERIFY(!theory[0]->frameGeometry().intersects(theory[1]->frameGeometry()));
    // Entwicklung also leaves the three statistics windows free.
    for (SharedWindowBase *window : {static_cast<SharedWindowBase *>(&windows().absHaeufigkeiten()),
                                     static_cast<SharedWindowBase *>(&windows().relHaeufigkeiten()),
                                     static_cast<SharedWindowBase *>(&windows().verlauf())}) {
        QWidget *w = window->loadedWidget();
        QVERIFY(w && w->isVisible());
        QVERIFY2(!theory[1]->frameGeometry().intersects(w->frameGeometry()),
                 qPrintable(w->objectName()));
    }
}

void TestPlacement::newWindowsOnTheScreen()
{
    // Windows that came after the design, opened from a context menu, hung off a small screen.
    if (QGuiApplication::primaryScreen()->availableGeometry().width() < 1024)
        QSKIP("needs a screen of at least 1024 × 768 from the offscreen configuration");
    windows().zufallsgroesse().showInFront();
    m_casino->findChild<QAction *>(u"MZufall"_s)->trigger();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QString &name : {u"Zufallsgroesse"_s, u"Zufall"_s}) {
        const QWidget *w = nullptr;
        for (const QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == name && top->isVisible())
                w = top;
        }
        QVERIFY2(w, qPrintable(name));
        QVERIFY2(available.contains(w->frameGeometry()), qPrintable(name));
    }
}

void TestPlacement::zoomForAProjector_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("bar chart") << u"absHaeufigkeiten"_s;
    QTest::newRow("pie") << u"relHaeufigkeiten"_s;
    QTest::newRow("Verlauf") << u"Verlauf"_s;
    QTest::newRow("Auswertung") << u"Auswertung"_s;
    QTest::newRow("Entwicklung") << u"Entwicklung"_s;
}

void TestPlacement::zoomForAProjector()
{
    // Enlarged for a projector, a window must stay on the screen with its texts grown; back at
    // 100 % it must be exactly as it was, to the pixel.
    QFETCH(QString, window);
    m_dialogs.inputAnswers = {u"2"_s, u"60"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    QList<int> faces;
    for (int i = 0; i < 120; ++i)
        faces << 1 + (i * 7) % 6;
    m_random.pushValues(faces);
    m_casino->CBKollavo_MouseDown();
    SharedWindowBase *shared = window == u"absHaeufigkeiten" ? static_cast<SharedWindowBase *>(&windows().absHaeufigkeiten())
        : window == u"relHaeufigkeiten" ? static_cast<SharedWindowBase *>(&windows().relHaeufigkeiten())
        : window == u"Verlauf"          ? static_cast<SharedWindowBase *>(&windows().verlauf())
        : window == u"Auswertung"       ? static_cast<SharedWindowBase *>(&windows().auswertung())
                                        : static_cast<SharedWindowBase *>(&windows().entwicklung());
    shared->showInFront();
    QWidget *w = shared->loadedWidget();
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    // Zooming is typing: a chart then shows where the keyboard is, before as after. Ctrl+0 at
    // 100 % changes nothing else.
    QTest::keyClick(w, Qt::Key_0, Qt::ControlModifier);
    const QSize size = w->size();
    const QImage before = w->grab().toImage();
    const qreal pointSize = QFontInfo(w->font()).pointSizeF();

    for (int i = 0; i < 5; ++i) // one more than it takes: 200 % is the most
        QTest::keyClick(w, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(QFontInfo(w->font()).pointSizeF(), 2 * pointSize);
    const QRect available = w->screen()->availableGeometry();
    QVERIFY(available.contains(w->frameGeometry()));
    QVERIFY(w->width() > size.width() || w->width() + 20 >= available.width());

    QTest::keyClick(w, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_0, Qt::ControlModifier);
    QTRY_COMPARE(w->size(), size);
    QCOMPARE(QFontInfo(w->font()).pointSizeF(), pointSize);
    QCOMPARE(w->grab().toImage(), before);
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
