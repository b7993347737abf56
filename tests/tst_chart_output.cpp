// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "chart_output.h"
#include "fakes.h"
#include "frequency_table.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
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

const QString NoImage = QStringLiteral("Das Bild konnte nicht erzeugt werden: Das Fenster hat "
                                       "keine Fläche, oder der Arbeitsspeicher reicht nicht aus.");

// The print dialog with "print to file" chosen, as the user's PDF printer does.
class PdfDialogs final : public Dialogs
{
public:
    explicit PdfDialogs(QString path) : m_path(std::move(path)) { }
    QStringList messages;

    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    void messageBox(const QString &text, const QString &, Icon) override { messages << text; }
    QString saveFileName(const QStringList &, QString *, const QString &) override { return {}; }
    bool printDialog(QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        return true;
    }

private:
    QString m_path;
};

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
    void imageThatCannotBeMadeWritesNothing_data();
    void imageThatCannotBeMadeWritesNothing();
    void emptyImageIsNotCopied();
    void printedPdfReplacesTheFileWhole_data();
    void printedPdfReplacesTheFileWhole();
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
    row("suffix in capitals", "A.SVG", png, "A.SVG", "<?xml");
    // The dialog asked before replacing exactly this name: nothing is added after it.
    row("other suffix kept", "a.txt", png, "a.txt", "\x89PNG");
}

void TestChartOutput::savedFormat()
{
    // The name the dialog settled decides the format; the filter only one without a known suffix.
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(tmp.filePath(name));
    dialogs.saveFilterAnswers.push_back(filter);
    saveChart(dialogs, nullptr, QStringLiteral("Kollavo"), SampleSize, paintSample);
    QCOMPARE(dialogs.saveFilters.first(), QStringList({QStringLiteral("PNG-Bild (*.png)"),
                                                       QStringLiteral("SVG-Grafik (*.svg)")}));
    QCOMPARE(dialogs.saveSuffixes, QStringList{QStringLiteral("png")});
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
    saveChart(dialogs, nullptr, QStringLiteral("Kollavo"), SampleSize, paintSample);
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
    printChart(dialogs, nullptr, QStringLiteral("Titel"), SampleSize, [&](QPainter &) { ++painted; });
    QCOMPARE(dialogs.printDialogs, 1);
    QCOMPARE(painted, 0);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartOutput::imageThatCannotBeMadeWritesNothing_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("name");
    QTest::newRow("zero height, PNG") << QSize(120, 0) << QStringLiteral("alt.png");
    QTest::newRow("zero width, SVG") << QSize(0, 90) << QStringLiteral("alt.svg");
    // More pixels than an image can hold: QImage gives a null image, as on too little memory.
    QTest::newRow("too large, PNG") << QSize(40'000'000, 10) << QStringLiteral("alt.png");
}

void TestChartOutput::imageThatCannotBeMadeWritesNothing()
{
    // A chart that cannot be drawn must not replace an older picture with an empty file.
    QFETCH(QSize, size);
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("altes Bild");
    old.close();
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(path);
    saveChart(dialogs, nullptr, QStringLiteral("Kollavo"), size, paintSample);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("altes Bild"));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.first().text,
             QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2").arg(path, NoImage));
}

void TestChartOutput::emptyImageIsNotCopied()
{
    // A 0 × 0 image would silently replace what the teacher had copied before.
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    ScriptedDialogs dialogs;
    copyChart(dialogs, QStringLiteral("Kollavo"), QSize(120, 0), paintSample);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.first().text,
             QStringLiteral("Das Bild wurde nicht kopiert.\r\n") + NoImage);
}

void TestChartOutput::printedPdfReplacesTheFileWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // empty: printed
    QTest::newRow("old PDF replaced") << QStringLiteral("alt.pdf") << QString();
    QTest::newRow("missing folder") << QStringLiteral("fehlt/neu.pdf")
                                    << QStringLiteral("Der Ordner existiert nicht.");
}

void TestChartOutput::printedPdfReplacesTheFileWhole()
{
    // Printing into a PDF goes through the same safe writer as every other file: a complete
    // PDF or the old file and a message.
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    QFile old(path);
    if (old.open(QIODevice::WriteOnly)) {
        old.write("altes PDF, etwas länger als nötig");
        old.close();
    }
    PdfDialogs dialogs(path);
    printChart(dialogs, nullptr, QStringLiteral("Titel"), SampleSize, paintSample);
    if (reason.isEmpty()) {
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray pdf = old.readAll();
        QVERIFY(pdf.startsWith("%PDF") && pdf.trimmed().endsWith("%%EOF"));
    } else {
        QCOMPARE(dialogs.messages,
                 QStringList{QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2")
                                 .arg(path, reason)});
    }
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
             reason.isEmpty() ? QStringList{name} : QStringList());
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
