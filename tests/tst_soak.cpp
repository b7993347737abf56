// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "game.h"
#include "casino.h"
#include "fakes.h"
#include "history_text.h"
#include "rel_haeufigkeiten.h"
#include "statistics_windows.h"
#include "verlauf.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>
#include <random>

namespace {

// What the test itself expects of the program, kept from the commands it gave.
struct Model
{
    int anzahl = 1;
    int wurfzahl = 1;
    qsizetype lines = 0;
    std::array<bool, 3> shown{};
};

const char *const ItemNames[] = {"Mabs", "Mrel", "MVerlauf"};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void randomCommandsKeepTheGameConsistent_data();
    void randomCommandsKeepTheGameConsistent();

private:
    // Unsigned modulo instead of a std distribution: the same seed gives the same run with
    // every standard library.
    int pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    QAction *item(int window) const
    {
        return m_casino->findChild<QAction *>(QLatin1StringView(ItemNames[window]));
    }

    void setDice();
    void setThrows();
    void roll(const QString &before);
    void toggleWindow();
    void closeWindow();
    void exportFile();
    void cancelExport();
    void checkGame();

    std::mt19937 m_rng;
    Model m_model;
    std::array<SharedWindowBase *, 3> m_windows{};
    std::unique_ptr<Casino> m_casino;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    ClockSeededRandom m_random;
    std::unique_ptr<QTemporaryDir> m_tmp;
    int m_closed = 0;
    QString m_lastExportPath;
    QByteArray m_lastExport;
};

void TestSoak::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_casino = startProgram(*m_dialogs, m_random);
    m_casino->show();
    m_windows = {&windows().absHaeufigkeiten(), &windows().relHaeufigkeiten(), &windows().verlauf()};
    m_model = Model();
    m_closed = 0;
    m_lastExportPath.clear();
    m_lastExport.clear();
}

void TestSoak::cleanup()
{
    endProgram(m_casino);
    m_dialogs.reset();
    m_tmp.reset();
}

void TestSoak::setDice()
{
    const int dice = 1 + pick(7);
    m_dialogs->inputAnswers.push_back(QString::number(dice));
    m_casino->MAnzahl_Click();
    // The box offers the value in force, and a valid answer ends it at once.
    QCOMPARE(m_dialogs->inputs.last().defaultText, QString::number(m_model.anzahl));
    m_model.anzahl = dice;
    m_model.lines = 0; // choosing the number of dice starts a new game
}

void TestSoak::setThrows()
{
    const int throws = pick(501);
    m_dialogs->inputAnswers.push_back(QString::number(throws));
    m_casino->MWuerfe_Click();
    QCOMPARE(m_dialogs->inputs.last().defaultText, QString::number(m_model.wurfzahl));
    m_model.wurfzahl = throws;
}

void TestSoak::roll(const QString &before)
{
    auto *button = m_casino->findChild<QPushButton *>(QStringLiteral("CBKollavo"));
    const Qt::MouseButton mouse = pick(4) == 0 ? Qt::RightButton : Qt::LeftButton;
    QTest::mousePress(button, mouse);
    QTest::mouseRelease(button, mouse);
    m_model.lines += m_model.wurfzahl;
    // A move only appends: the lines of earlier moves stay as they were.
    QVERIFY(game().history().text().startsWith(before));
}

void TestSoak::toggleWindow()
{
    const int window = pick(3);
    item(window)->trigger();
    bool &shown = m_model.shown[static_cast<std::size_t>(window)];
    shown = !shown;
}

void TestSoak::closeWindow()
{
    const int window = pick(3);
    if (!m_model.shown[static_cast<std::size_t>(window)]) {
        // Only a shown window has a close box to click: show it instead.
        item(window)->trigger();
        m_model.shown[static_cast<std::size_t>(window)] = true;
        return;
    }
    QWidget *widget = m_windows[static_cast<std::size_t>(window)]->loadedWidget();
    QVERIFY(widget);
    widget->close();
    ++m_closed;
    // The event loop deletes the closed window; later steps touch the instance afresh.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_model.shown[static_cast<std::size_t>(window)] = false;
}

void TestSoak::exportFile()
{
    // A few names, so that later exports replace earlier, longer or shorter, files.
    const QString path = m_tmp->filePath(QStringLiteral("daten%1.txt").arg(pick(3)));
    m_dialogs->saveAnswers.push_back(path);
    m_casino->MExport_Click();
    m_lastExportPath = path;
    m_lastExport = readFile(path);

    // The bytes the file must hold, built here rather than by the export's own code: sums,
    // counts and die names in Windows-1252 ("\xFC" is the u of Würfel), then the history.
    QByteArray sums;
    QByteArray counts;
    QByteArray dice;
    for (int s = m_model.anzahl; s <= 6 * m_model.anzahl; ++s) {
        const QByteArray blank = s > m_model.anzahl ? " " : "";
        sums += blank + QByteArray::number(s);
        counts += blank + QByteArray::number(game().austausch().Haeufigkeit[s]);
    }
    for (int k = 1; k <= m_model.anzahl; ++k)
        dice += (k > 1 ? " W\xFCrfel" : "W\xFCrfel") + QByteArray::number(k);
    QCOMPARE(m_lastExport,
             sums + "\r\n" + counts + "\r\n" + dice + "\r\n" + game().history().text().toLatin1());
}

void TestSoak::cancelExport()
{
    const QStringList files = QDir(m_tmp->path()).entryList(QDir::Files);
    m_dialogs->saveAnswers.push_back(QString());
    m_casino->MExport_Click();
    // Cancelled: no file appears and the last export stays as it was written.
    QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files), files);
    if (!m_lastExportPath.isEmpty())
        QCOMPARE(readFile(m_lastExportPath), m_lastExport);
}

void TestSoak::checkGame()
{
    QCOMPARE(int(game().austausch().Anzahl), m_model.anzahl);
    QCOMPARE(int(game().austausch().Wurfzahl), m_model.wurfzahl);
    QCOMPARE(int(game().austausch().MinSumme), m_model.anzahl);
    QCOMPARE(int(game().austausch().MaxSumme), 6 * m_model.anzahl);

    // Every line since the last New was thrown with today's number of dice: values 1 … 6 in
    // the even columns, single blanks in the odd ones. Its sums, counted here, must be the
    // program's counts.
    const QString &text = game().history().text();
    const QStringList lines = text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), m_model.lines);
    const qsizetype width = 2 * m_model.anzahl - 1;
    std::array<qint64, Austausch::HoechsteSumme + 1> sums{};
    for (const QString &line : lines) {
        bool wellFormed = line.size() == width;
        int sum = 0;
        for (qsizetype i = 0; wellFormed && i < width; ++i) {
            const char16_t c = line[i].unicode();
            if (i % 2 == 1) {
                wellFormed = c == u' ';
            } else {
                wellFormed = c >= u'1' && c <= u'6';
                sum += c - u'0';
            }
        }
        if (!wellFormed)
            QFAIL(qPrintable(QStringLiteral("history line \"%1\" with %2 dice")
                                 .arg(line)
                                 .arg(m_model.anzahl)));
        ++sums[static_cast<std::size_t>(sum)];
    }
    qint64 total = 0;
    for (int s = 1; s <= Austausch::HoechsteSumme; ++s) {
        const qint64 count = game().austausch().Haeufigkeit[s];
        total += count;
        if (s < game().austausch().MinSumme || s > game().austausch().MaxSumme)
            QCOMPARE(count, qint64(0));
        QCOMPARE(count, sums[static_cast<std::size_t>(s)]);
    }
    QCOMPARE(total, qint64(lines.size()));

    for (int w = 0; w < 3; ++w) {
        const SharedWindowBase &window = *m_windows[static_cast<std::size_t>(w)];
        const bool visible = window.isLoaded() && window.loadedWidget()->isVisible();
        QVERIFY2(item(w)->isChecked() == visible, ItemNames[w]);
        QVERIFY2(visible == m_model.shown[static_cast<std::size_t>(w)], ItemNames[w]);
    }

    // Nothing asked that was not answered, nothing left over, and no message (the count limit
    // cannot be reached in these short games; a failed export would show one).
    QVERIFY(m_dialogs->inputAnswers.empty());
    QVERIFY(m_dialogs->saveAnswers.empty());
    if (!m_dialogs->messages.isEmpty())
        QFAIL(qPrintable(QStringLiteral("message: ") + m_dialogs->messages.first().text));
}

void TestSoak::randomCommandsKeepTheGameConsistent_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    QTest::newRow("seed 20240611") << 20240611u << 2000;
    QTest::newRow("seed 7") << 7u << 2000;
    QTest::newRow("seed 4004") << 4004u << 2000;
}

void TestSoak::randomCommandsKeepTheGameConsistent()
{
    // Long mixed sessions must keep counts, history, check marks and exports in agreement.
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    m_rng.seed(seed);
    QElapsedTimer timer;
    timer.start();

    enum Kind { Dice, Throws, Roll, New, Window, CloseBox, Export, Cancel };
    const char *const kindNames[] = {"dice", "throws", "roll", "new", "window",
                                     "close box", "export", "cancelled export"};
    int done[8] = {};
    qsizetype longestGame = 0;
    for (int step = 0; step < steps; ++step) {
        const int r = pick(100);
        const Kind kind = r < 8    ? Dice
                          : r < 20 ? Throws
                          : r < 55 ? Roll
                          : r < 60 ? New
                          : r < 75 ? Window
                          : r < 82 ? CloseBox
                          : r < 95 ? Export
                                   : Cancel;
        const QString before = game().history().text();
        switch (kind) {
        case Dice:
            setDice();
            break;
        case Throws:
            setThrows();
            break;
        case Roll:
            roll(before);
            break;
        case New:
            m_casino->MNeu_Click();
            m_model.lines = 0;
            break;
        case Window:
            toggleWindow();
            break;
        case CloseBox:
            closeWindow();
            break;
        case Export:
            exportFile();
            break;
        case Cancel:
            cancelExport();
            break;
        }
        // Queued work (a count-limit message, repaints of shown windows) runs as it would
        // between two user actions.
        QCoreApplication::processEvents();
        if (!QTest::currentTestFailed()) {
            if (kind != Roll && kind != New && kind != Dice)
                QCOMPARE(game().history().text(), before);
            checkGame();
        }
        if (QTest::currentTestFailed()) {
            qWarning("failed at step %d (%s) of seed %u", step, kindNames[kind], seed);
            return;
        }
        ++done[kind];
        longestGame = qMax(longestGame, m_model.lines);
    }
    // Every kind of step ran, and shown windows were really closed by their close box.
    for (int k = 0; k < 8; ++k)
        QVERIFY2(done[k] > 0, kindNames[k]);
    QVERIFY(m_closed > 0);
    qInfo("%d steps in %lld ms; %d moves, %d closed windows, longest game %lld throws", steps,
          static_cast<long long>(timer.elapsed()), done[Roll], m_closed,
          static_cast<long long>(longestGame));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
