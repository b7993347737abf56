// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "chart_output.h"
#include "fakes.h"
#include "frequency_table.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A small chart with a bar, a grid line and a label, painted the way the chart windows paint.
void paintSample(QPainter &painter)
{
    painter.fillRect(QRectF(10, 20, 30, 60), QColor(250, 0, 0));
    painter.drawLine(QPointF(0, 80), QPointF(120, 80));
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.drawText(QPointF(50, 40), QStringLiteral("Summe 7"));
}

const QSize SampleSize(120, 90);

} // namespace

class TestChartOutput : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Austausch::reset(); }

    void savedFormat_data();
    void savedFormat();
    void svgIsVector();
    void cancelledPrintPrintsNothing();
    void frequencyTable_data();
    void frequencyTable();
};

void TestChartOutput::savedFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start");

    const QString png = QStringLiteral("PNG-Bild (*.png)");
    const QString svg = QStringLiteral("SVG-Grafik (*.svg)");
    const auto row = [](const char *tag, const char *name, const QString &filter,
                        const char *file, const QByteArray &start) {
        QTest::newRow(tag) << QString::fromLatin1(name) << filter << QString::fromLatin1(file)
                           << start;
    };
    row("png name beats svg filter", "a.png", svg, "a.png", "\x89PNG");
    row("no suffix: filter's added", "a", svg, "a.svg", "<?xml");
    row("suffix in capitals", "A.SVG", png, "A.SVG", "<?xml");
    row("other suffix kept", "a.txt", png, "a.txt.png", "\x89PNG");
}

void TestChartOutput::savedFormat()
{
    // The name the user typed decides the format; the filter only fills in a missing suffix.
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(tmp.filePath(name));
    dialogs.saveFilterAnswers.push_back(filter);
    saveChart(dialogs, QStringLiteral("Kollavo"), SampleSize, paintSample);
    QCOMPARE(dialogs.saveFilters.first(), QStringList({QStringLiteral("PNG-Bild (*.png)"),
                                                       QStringLiteral("SVG-Grafik (*.svg)")}));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files), QStringList{file});
    QFile saved(tmp.filePath(file));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith(start));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartOutput::svgIsVector()
{
    // A worksheet needs shapes and text it can scale, not a bitmap wrapped in SVG.
    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(tmp.filePath(QStringLiteral("chart.svg")));
    saveChart(dialogs, QStringLiteral("Kollavo"), SampleSize, paintSample);
    QFile saved(tmp.filePath(QStringLiteral("chart.svg")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray svg = saved.readAll();
    QVERIFY((svg.contains("<path") || svg.contains("<rect")) && svg.contains("Summe 7"));
    QVERIFY(!svg.contains("<image"));
}

void TestChartOutput::cancelledPrintPrintsNothing()
{
    // Cancelling the print dialog must not paint the chart for a printer nor report a failure.
    ScriptedDialogs dialogs;
    dialogs.printAnswers.push_back(false);
    int painted = 0;
    printChart(dialogs, QStringLiteral("Titel"), SampleSize, [&](QPainter &) { ++painted; });
    QCOMPARE(dialogs.printDialogs, 1);
    QCOMPARE(painted, 0);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartOutput::frequencyTable_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("counts"); // from the lowest sum up
    QTest::addColumn<QString>("rows");      // after the header row

    QTest::newRow("no throws") << 1 << QList<int>{0, 0, 0, 0, 0, 0}
        << QStringLiteral("1\t0\t0,0000\t0,1667\t0,0\n2\t0\t0,0000\t0,1667\t0,0\n"
                          "3\t0\t0,0000\t0,1667\t0,0\n4\t0\t0,0000\t0,1667\t0,0\n"
                          "5\t0\t0,0000\t0,1667\t0,0\n6\t0\t0,0000\t0,1667\t0,0\n");
    // 1 of 1.200 keeps three significant digits instead of reading 0,0008.
    QTest::newRow("1200 throws, two dice") << 2 << QList<int>{1, 0, 0, 0, 0, 1199, 0, 0, 0, 0, 0}
        << QStringLiteral("2\t1\t0,000833\t0,0278\t33,3\n3\t0\t0,0000\t0,0556\t66,7\n"
                          "4\t0\t0,0000\t0,0833\t100,0\n5\t0\t0,0000\t0,1111\t133,3\n"
                          "6\t0\t0,0000\t0,1389\t166,7\n7\t1199\t0,9992\t0,1667\t200,0\n"
                          "8\t0\t0,0000\t0,1389\t166,7\n9\t0\t0,0000\t0,1111\t133,3\n"
                          "10\t0\t0,0000\t0,0833\t100,0\n11\t0\t0,0000\t0,0556\t66,7\n"
                          "12\t0\t0,0000\t0,0278\t33,3\n");
}

void TestChartOutput::frequencyTable()
{
    // Pasted into a German spreadsheet, every cell must read as the right number.
    QFETCH(int, dice);
    QFETCH(QList<int>, counts);
    QFETCH(QString, rows);
    Austausch::Anzahl = qint16(dice);
    Austausch::MinSumme = qint16(dice);
    Austausch::MaxSumme = qint16(6 * dice);
    for (int i = 0; i < counts.size(); ++i)
        Austausch::Haeufigkeit[dice + i] = qint16(counts[i]);
    QCOMPARE(::frequencyTable(QLocale(QLocale::German, QLocale::Germany)),
             (dice == 1 ? QStringLiteral("Augenzahl") : QStringLiteral("Augensumme"))
                 + QStringLiteral("\tabsolute Häufigkeit\trelative Häufigkeit\t"
                                  "Wahrscheinlichkeit\terwartete Häufigkeit\n")
                 + rows);
}

QTEST_MAIN(TestChartOutput)
#include "tst_chart_output.moc"
