// SPDX-License-Identifier: GPL-3.0-or-later
// Runs once per screen configuration (see CMakeLists.txt): the expectations follow the screen.
#include "casino.h"
#include "fakes.h"
#include "rel_haeufigkeiten.h"
#include "resources.h"
#include "screen_fit.h"
#include "statistics_windows.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

enum class Opening { First, AfterClose, AfterHide };

QSize screenSize()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fitInto_data();
    void fitInto();
    void opensOnScreen_data();
    void opensOnScreen();
    void scaledScreen();
    void init();
    void cleanup();

private:
    std::unique_ptr<Casino> m_casino;
};

void TestPlacement::init()
{
    m_casino = startProgram();
}

void TestPlacement::cleanup()
{
    endProgram(m_casino);
}

void TestPlacement::fitInto_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 1024, 768);
    QTest::newRow("inside stays")
        << QRect(633, 480, 264, 256) << screen << QRect(633, 480, 264, 256);
    QTest::newRow("touching every edge stays") << screen << screen << screen;
    QTest::newRow("one pixel below, up by one")
        << QRect(633, 513, 264, 256) << screen << QRect(633, 512, 264, 256);
    QTest::newRow("past the right edge, left just enough")
        << QRect(900, 100, 200, 100) << screen << QRect(824, 100, 200, 100);
    QTest::newRow("above and left, down and right")
        << QRect(-30, -5, 200, 100) << screen << QRect(0, 0, 200, 100);
    QTest::newRow("off the screen entirely, to its nearest corner")
        << QRect(1266, 1026, 528, 512) << screen << QRect(496, 256, 528, 512);
    QTest::newRow("wider than the area, shrunk to its width only")
        << QRect(100, 100, 1100, 200) << screen << QRect(0, 100, 1024, 200);
    QTest::newRow("larger both ways, the area itself")
        << QRect(-10, 20, 2000, 900) << screen << screen;
    // An available area that does not start at 0: a second screen, or a panel at the top.
    QTest::newRow("second screen with a panel")
        << QRect(1200, 0, 300, 200) << QRect(1280, 28, 1024, 740) << QRect(1280, 28, 300, 200);
}

void TestPlacement::fitInto()
{
    // A window moved more than needed leaves its design position for nothing; one moved too
    // little, or shrunk where it fits, hangs off the screen or loses part of its chart.
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(ScreenFit::fitInto(frame, available), expected);
}

void TestPlacement::opensOnScreen_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("opening");
    QTest::addColumn<QRect>("design");
    QTest::addColumn<bool>("fits");

    bool relFits = true;
    if (screenSize() == QSize(1024, 768))
        relFits = false; // its bottom lies below the screen
    else if (screenSize() != QSize(1280, 1024))
        QSKIP("needs a 1280 × 1024 or 1024 × 768 screen from the offscreen configuration");

    const std::pair<const char *, Opening> openings[] = {
        {"first", Opening::First}, {"after close", Opening::AfterClose}};
    for (const auto &[name, opening] : openings) {
        QTest::addRow("absHaeufigkeiten, %s", name) << u"Mabs"_s << u"absHaeufigkeiten"_s
            << int(opening) << QRect(575, 76, 422, 275) << true;
        QTest::addRow("relHaeufigkeiten, %s", name) << u"Mrel"_s << u"relHaeufigkeiten"_s
            << int(opening) << QRect(633, 513, 264, 256) << relFits;
        QTest::addRow("Verlauf, %s", name) << u"MVerlauf"_s << u"Verlauf"_s << int(opening)
            << QRect(107, 410, 312, 228) << true;
    }
    // Once shown, a window stays where the user has moved it, even partly off the screen.
    QTest::newRow("relHaeufigkeiten, after hide") << u"Mrel"_s << u"relHaeufigkeiten"_s
        << int(Opening::AfterHide) << QRect(633, 513, 264, 256) << true;
}

void TestPlacement::opensOnScreen()
{
    // A statistics window opening partly below the screen cannot be read or grabbed; one moved
    // although it fits, or moved further than needed, leaves its design position.
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(int, opening);
    QFETCH(QRect, design);
    QFETCH(bool, fits);

    auto *action = m_casino->findChild<QAction *>(item);
    QVERIFY(action);
    const auto shown = [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == window && w->isVisible())
                return w;
        }
        return static_cast<QWidget *>(nullptr);
    };

    action->trigger();
    QVERIFY(shown());
    const QPoint movedByUser(900, 700);
    if (Opening(opening) == Opening::AfterClose) {
        shown()->close();
        QVERIFY(!action->isChecked());
        action->trigger();
    } else if (Opening(opening) == Opening::AfterHide) {
        shown()->move(movedByUser);
        action->trigger();
        QVERIFY(!shown());
        action->trigger();
    }
    QWidget *opened = shown();
    QVERIFY(opened);

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    if (Opening(opening) == Opening::AfterHide) {
        QCOMPARE(opened->frameGeometry().topLeft(), movedByUser);
    } else if (fits) {
        QCOMPARE(opened->geometry(), design);
        QVERIFY(available.contains(opened->frameGeometry()));
    } else {
        // Up just enough: the frame's bottom on the screen's, nothing else changed.
        QCOMPARE(opened->frameGeometry().bottom(), available.bottom());
        QCOMPARE(opened->geometry().x(), design.x());
        QCOMPARE(opened->size(), design.size());
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

    m_casino->findChild<QAction *>(u"Mrel"_s)->trigger();
    RelHaeufigkeiten &pie = *relHaeufigkeiten();
    QCOMPARE(pie.geometry(), QRect(633, 513, 264, 256));
    QCOMPARE(pie.surface().size(), QSize(528, 512));
    QCOMPARE(pie.surface().devicePixelRatio(), 2.0);

    // Dragged onto an unscaled screen, the pie is drawn again for it, not shrunk.
    pie.move(1400, 100);
    QTRY_COMPARE(pie.surface().devicePixelRatio(), 1.0);
    QCOMPARE(pie.surface().size(), QSize(264, 256));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
