// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "game.h"
#include "casino.h"
#include "chart_output.h"
#include "dialogs.h"
#include "entwicklung.h"
#include "fakes.h"
#include "fonts_present.h"
#include "frequency_table.h"
#include "rel_haeufigkeiten.h"
#include "statistics_windows.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

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
    QString svgPath; // what the save dialog answers
    QString saveFileName(const QStringList &, QString *, const QString &) override
    {
        return svgPath;
    }
    bool printDialog(QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        return true;
    }

private:
    QString m_path;
};

// A part of a chart that must look the same in a file as on screen, in logical pixels.
struct Probe
{
    QString name;
    QRect rect;
};

QColor meanColour(const QImage &image, const QRect &rect)
{
    qint64 r = 0, g = 0, b = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    }
    const qint64 n = std::max<qint64>(1, qint64(area.width()) * area.height());
    return QColor(int(r / n), int(g / n), int(b / n));
}

// A label's text as it lies in the label: there its ink weighs most in the mean colour.
QRect textRect(const QLabel &label)
{
    const QRect text = QFontMetrics(label.font()).boundingRect(label.text());
    return QRect(label.pos(), text.size()).intersected(label.geometry());
}

QList<Probe> barChartProbes(const AbsHaeufigkeiten &w)
{
    QList<Probe> probes;
    for (int i = 0; i < w.absH().count(); ++i) {
        const QLabel &bar = w.absH()[i];
        if (bar.isVisibleTo(&w) && bar.height() > 2) {
            probes.append({QStringLiteral("bar %1").arg(i), bar.geometry()});
            // The number at the bar's top, below an indent of about half an "x".
            const QFontMetrics metrics(bar.font());
            const QRect number = metrics.boundingRect(bar.geometry(), int(bar.alignment()),
                                                      bar.text());
            probes.append({QStringLiteral("number %1").arg(i),
                           number.adjusted(0, 0, 0, metrics.height() / 3)
                               .intersected(bar.geometry())});
        }
        // A mark's blue core: its one-pixel halo is thinner at twice the resolution.
        if (i < w.Erwartung().count() && w.Erwartung()[i].isVisibleTo(&w))
            probes.append({QStringLiteral("mark %1").arg(i),
                           w.Erwartung()[i].geometry().adjusted(1, 1, -1, -1)});
    }
    for (int k = 0; k < w.NZahl().count(); ++k) {
        const QLabel &label = w.NZahl()[k];
        if (w.rect().contains(label.geometry()))
            probes.append({QStringLiteral("grid label %1").arg(k), textRect(label)});
    }
    return probes;
}

QList<Probe> pieProbes(RelHaeufigkeiten &w)
{
    QList<Probe> probes;
    const QPointF centre(w.width() / 2.0, w.height() / 2.0);
    for (int s = 1; s <= Austausch::HoechsteSumme; ++s) {
        const QLabel &label = w.Ergebnis()[s];
        if (label.isHidden())
            continue;
        probes.append({QStringLiteral("label %1").arg(s), textRect(label)});
        // The wedge's shade further out on the line through its label.
        const QPointF shade = centre + 1.6 * (QRectF(label.geometry()).center() - centre);
        probes.append({QStringLiteral("wedge %1").arg(s),
                       QRect(shade.toPoint() - QPoint(1, 1), QSize(3, 3))});
    }
    return probes;
}

QList<Probe> entwicklungProbes(Entwicklung &w)
{
    QChart &chart = *w.chartView().chart();
    const QRect plot = chart.plotArea().toRect();
    const QLineSeries &observed = w.beobachtet();
    const QPointF middle = observed.at(observed.count() / 2);
    const QPointF upper = w.erwartungsbereich().upperSeries()->at(10);
    const QPointF expected(upper.x(), w.erwartet().at(0).y());
    const auto around = [&chart](QPointF value, const QAbstractSeries *series) {
        const QPoint p = chart.mapToPosition(value, const_cast<QAbstractSeries *>(series))
                             .toPoint();
        return QRect(p - QPoint(2, 2), QSize(5, 5));
    };
    QList<Probe> probes{
        {QStringLiteral("observed line"), around(middle, &observed)},
        {QStringLiteral("band"),
         around((upper + expected) / 2, w.erwartungsbereich().upperSeries())},
        {QStringLiteral("expected line"), around(expected, &w.erwartet())},
        {QStringLiteral("title"), QRect(plot.left(), 0, plot.width(), plot.top() - 2)}};
    // Each axis label, where the axis puts it: left of the plot area at its tick, below it at
    // 1, 10 and 100 throws.
    const auto *values = qobject_cast<QValueAxis *>(chart.axes(Qt::Vertical).constFirst());
    const double step = (values->max() - values->min()) / (values->tickCount() - 1);
    for (int t = 0; t < values->tickCount(); ++t) {
        const int y = around(QPointF(1, values->min() + t * step), &observed).center().y();
        probes.append({QStringLiteral("value label %1").arg(t),
                       QRect(plot.left() - 26, y - 5, 22, 10)});
    }
    for (const double k : {1.0, 10.0, 100.0}) {
        const int x = around(QPointF(k, values->min()), &observed).center().x();
        probes.append({QStringLiteral("throw label %1").arg(k),
                       QRect(x - 10, plot.bottom() + 4, 20, 10)});
    }
    return probes;
}

} // namespace

class TestChartOutput : public QObject
{
    Q_OBJECT

private slots:
    void savedFormat_data();
    void savedFormat();
    void saveDialogSettlesTheSuffix_data();
    void saveDialogSettlesTheSuffix();
    void svgIsVector();
    void cancelledPrintPrintsNothing();
    void imageThatCannotBeMadeWritesNothing_data();
    void imageThatCannotBeMadeWritesNothing();
    void emptyImageIsNotCopied();
    void printedPdfReplacesTheFileWhole_data();
    void printedPdfReplacesTheFileWhole();
    void frequencyTable_data();
    void frequencyTable();
    void fileShowsTheScreen_data();
    void fileShowsTheScreen();
    void pieOutlinedInWhite_data();
    void pieOutlinedInWhite();
    void windowDeletedUnderItsDialog_data();
    void windowDeletedUnderItsDialog();
    void worksheetNamesHowTheDiceFall_data();
    void worksheetNamesHowTheDiceFall();
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

void TestChartOutput::saveDialogSettlesTheSuffix_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    const auto row = [](const char *tag, int filter, const char *typed, const char *file) {
        QTest::newRow(tag) << filter << QString::fromLatin1(typed) << QString::fromLatin1(file);
    };
    row("png: suffix added", 0, "bild", "bild.png");
    row("svg chosen: its suffix", 1, "bild", "bild.svg");
    row("own suffix kept", 0, "bild.svg", "bild.svg");
}

void TestChartOutput::saveDialogSettlesTheSuffix()
{
    // "bild" silently replaced an existing "bild.png": the dialog must ask about the name that
    // is written, so it adds the suffix itself and asks before replacing.
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    const QStringList filters{QStringLiteral("PNG-Bild (*.png)"),
                              QStringLiteral("SVG-Grafik (*.svg)")};
    QTemporaryDir tmp;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    prepareSaveDialog(dialog, filters, QStringLiteral("png"));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    dialog.setDirectory(tmp.path());
    dialog.selectNameFilter(filters[filter]);
    // As the user's choice in the dialog reports it.
    emit dialog.filterSelected(filters[filter]);
    dialog.selectFile(typed);
    QCOMPARE(dialog.selectedFiles(), QStringList{tmp.filePath(file)});
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
    QVERIFY(svg.contains("<title>Kollavo</title>"));
    QVERIFY(!svg.contains("<image"));
}

void TestChartOutput::cancelledPrintPrintsNothing()
{
    // Cancelling the print dialog must not paint the chart for a printer nor report a failure.
    ScriptedDialogs dialogs;
    dialogs.printAnswers.push_back(false);
    int painted = 0;
    printChart(dialogs, nullptr, QStringLiteral("Titel"), SampleSize,
               [&](QPainter &) { ++painted; });
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
        // The document carries the title line, as UTF-16 in the PDF's information.
        QVERIFY(pdf.toHex().contains(QByteArray("\xfe\xff\0T\0i\0t\0e\0l", 12).toHex()));
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
    Austausch game;
    game.Anzahl = qint16(dice);
    game.MinSumme = qint16(dice);
    game.MaxSumme = qint16(6 * dice);
    for (int i = 0; i < counts.size(); ++i)
        game.Haeufigkeit[dice + i] = qint16(counts[i]);
    QCOMPARE(::frequencyTable(game, QLocale(QLocale::German, QLocale::Germany)),
             (dice == 1 ? QStringLiteral("Augenzahl") : QStringLiteral("Augensumme"))
                 + QStringLiteral("\tabsolute Häufigkeit\trelative Häufigkeit\t"
                                  "Wahrscheinlichkeit\terwartete Häufigkeit\n")
                 + rows);
}

void TestChartOutput::fileShowsTheScreen_data()
{
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("format");
    for (const char *chart : {"bars", "bars with marks", "pie", "Entwicklung"}) {
        for (const char *format : {"png", "svg", "printer"}) {
            QTest::addRow("%s, %s", chart, format)
                << QString::fromLatin1(chart) << QString::fromLatin1(format);
        }
    }
}

void TestChartOutput::fileShowsTheScreen()
{
    // A saved chart that loses a bar's shade, a mark or a label, or shows another state of the
    // game than the window, misleads the worksheet made from it.
    QFETCH(QString, chart);
    QFETCH(QString, format);
    // The vector and printed files draw the labels as text, the PNG copies the screen's pixels.
    if (format != u"png")
        SKIP_WITHOUT_FONTS();
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    auto casino = startProgram(dialogs, random);
    auto end = qScopeGuard([&casino] { endProgram(casino); });
    // Two dice, 360 throws: sums 2 … 12 with one bar (7) above the others.
    dialogs.inputAnswers = {QStringLiteral("2")};
    casino->MAnzahl_Click();
    const QList<int> counts{10, 20, 30, 40, 50, 70, 50, 40, 30, 20, 0};
    Austausch &state = game().austausch();
    for (int i = 0; i < counts.size(); ++i) {
        state.Haeufigkeit[2 + i] = static_cast<qint16>(counts[i]);
        state.Wurfsummen.insert(state.Wurfsummen.end(), size_t(counts[i]),
                                static_cast<quint8>(2 + i));
    }
    std::mt19937 shuffle(7);
    std::shuffle(state.Wurfsummen.begin(), state.Wurfsummen.end(), shuffle);

    QWidget *window = nullptr;
    QWidget *screen = nullptr; // what shows the chart
    std::function<QList<Probe>()> probes;
    ChartPainter paint; // what a printout is drawn with
    if (chart.startsWith(u"bars")) {
        AbsHaeufigkeiten &w = windows().absHaeufigkeiten().instance();
        if (chart.endsWith(u"marks"))
            w.findChild<QAction *>(QStringLiteral("MErwartet"))->setChecked(true);
        w.absH_Refresh();
        window = screen = &w;
        probes = [&w] { return barChartProbes(w); };
        paint = [&w](QPainter &painter) { w.paintChart(painter); };
    } else if (chart == u"pie") {
        RelHaeufigkeiten &w = windows().relHaeufigkeiten().instance();
        w.showReachableSums();
        w.relH_Refresh();
        window = screen = &w;
        probes = [&w] { return pieProbes(w); };
        paint = [&w](QPainter &painter) { w.paintChart(painter); };
    } else {
        Entwicklung &w = windows().entwicklung().instance();
        w.showSum(7);
        window = &w;
        screen = w.chartView().viewport();
        probes = [&w] { return entwicklungProbes(w); };
        paint = [&w, screen](QPainter &painter) {
            w.paintChart(painter, QRectF(QPointF(0, 0), screen->size()));
        };
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("chart.") + format);
    if (format != u"printer") {
        dialogs.saveAnswers.push_back(path);
        window->findChild<QAction *>(QStringLiteral("MBildSpeichern"))->trigger();
        QVERIFY(dialogs.messages.isEmpty());
    }

    const QImage shown = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage saved;
    if (format == u"png") {
        QVERIFY(saved.load(path));
        // Twice the screen's 96 dpi.
        QCOMPARE(saved.dotsPerMeterX(), qRound(192 / 0.0254));
        QCOMPARE(saved.size(), shown.size() * 2);
        saved = saved.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else if (format == u"svg") {
        QSvgRenderer svg(path);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox().size(), shown.size());
        saved = QImage(shown.size(), QImage::Format_RGB32);
        saved.fill(Qt::white);
        QPainter painter(&saved);
        svg.render(&painter);
    } else {
        // A device of four times the screen's resolution, its painter scaled onto the chart
        // as a printout's page is.
        saved = QImage(shown.size() * 4, QImage::Format_RGB32);
        saved.fill(Qt::white);
        saved.setDotsPerMeterX(qRound(4 * 96 / 0.0254));
        saved.setDotsPerMeterY(qRound(4 * 96 / 0.0254));
        {
            QPainter painter(&saved);
            painter.scale(4, 4);
            paint(painter);
        }
        saved = saved.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    saved = saved.convertToFormat(QImage::Format_RGB32);

    const QList<Probe> all = probes();
    QVERIFY(all.size() >= 6);
    for (const Probe &probe : all) {
        const QColor a = meanColour(shown, probe.rect);
        const QColor b = meanColour(saved, probe.rect);
        const int difference = std::max({std::abs(a.red() - b.red()),
                                         std::abs(a.green() - b.green()),
                                         std::abs(a.blue() - b.blue())});
        QVERIFY2(difference <= 24, qPrintable(QStringLiteral("%1: screen %2, file %3")
                                                  .arg(probe.name, a.name(), b.name())));
    }
}

void TestChartOutput::pieOutlinedInWhite_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("screen") << u"screen"_s;
    QTest::newRow("png") << u"png"_s;
    QTest::newRow("svg") << u"svg"_s;
    QTest::newRow("copied") << u"copied"_s;
}

void TestChartOutput::pieOutlinedInWhite()
{
    // Files whose wedges were outlined in black went unseen, as the probes of the shades lie
    // inside the wedges: on the screen and in every file the wedges are set apart by white lines
    // along their radii.
    QFETCH(QString, form);
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    auto casino = startProgram(dialogs, random);
    auto end = qScopeGuard([&casino] { endProgram(casino); });
    // One die, each face once: six wedges of 60° from 12 o'clock on.
    game().setThrowsPerMove(6);
    random.pushValues({1, 2, 3, 4, 5, 6});
    game().move();
    RelHaeufigkeiten &w = windows().relHaeufigkeiten().instance();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QTemporaryDir tmp;
    QImage image;
    if (form == u"screen") {
        image = w.grab().toImage();
    } else if (form == u"copied") {
        w.findChild<QAction *>(u"MBildKopieren"_s)->trigger();
        image = QGuiApplication::clipboard()->image();
    } else {
        const QString path = tmp.filePath(u"kreis."_s + form);
        dialogs.saveAnswers.push_back(path);
        w.findChild<QAction *>(u"MBildSpeichern"_s)->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        if (form == u"png") {
            QVERIFY(image.load(path));
        } else {
            // At twice the size, as the images are: the line is one logical pixel wide.
            QSvgRenderer svg(path);
            QVERIFY(svg.isValid());
            image = QImage(w.size() * 2, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            svg.render(&painter);
        }
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    const int scale = image.width() / w.width();
    QVERIFY(scale >= 1);
    QCOMPARE(image.size(), w.size() * scale);

    const QPointF centre(w.width() / 2.0, w.height() / 2.0);
    for (int k = 0; k < 6; ++k) {
        // A quarter of the way out along the radius where the k-th wedge begins; the wedges'
        // reds have no green, a white line has all of it.
        const double phi = qDegreesToRadians(60.0 * k);
        const QPointF on = centre + w.height() / 8.0 * QPointF(-std::sin(phi), -std::cos(phi));
        const QPoint pixel = (on * scale).toPoint();
        int green = 0;
        for (int dx = -scale; dx <= scale; ++dx) {
            for (int dy = -scale; dy <= scale; ++dy)
                green = std::max(green, qGreen(image.pixel(pixel + QPoint(dx, dy))));
        }
        QVERIFY2(green >= 192, qPrintable(u"radius %1: brightest green %2"_s.arg(k).arg(green)));
    }
}

void TestChartOutput::windowDeletedUnderItsDialog_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("save") << QStringLiteral("MBildSpeichern");
    QTest::newRow("print") << QStringLiteral("MDrucken");
}

void TestChartOutput::windowDeletedUnderItsDialog()
{
    // A chart closed while its dialog is open was painted afterwards: a use after free.
    QFETCH(QString, action);
    ScriptedDialogs dialogs;
    ScriptedRandom random;
    auto casino = startProgram(dialogs, random);
    auto end = qScopeGuard([&casino] { endProgram(casino); });
    dialogs.inputAnswers = {QStringLiteral("2")};
    casino->MAnzahl_Click();
    windows().absHaeufigkeiten().show();
    QTemporaryDir tmp;
    dialogs.saveAnswers.push_back(tmp.filePath(QStringLiteral("chart.png")));
    dialogs.printAnswers.push_back(true);
    dialogs.whileFileDialogOpen = [] { windows().absHaeufigkeiten().unload(); };
    windows().absHaeufigkeiten()->findChild<QAction *>(action)->trigger();
    QVERIFY(!windows().absHaeufigkeiten().isLoaded());
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(QDir(tmp.path()).isEmpty());
}

void TestChartOutput::worksheetNamesHowTheDiceFall_data()
{
    QTest::addColumn<int>("sechs"); // the weight of the six
    QTest::addColumn<bool>("geheim");
    QTest::addColumn<QString>("named"); // empty: nothing about the dice
    QTest::newRow("seeded") << 1 << false << u"Startwert 4711"_s;
    QTest::newRow("seeded and loaded")
        << 5 << false << u"Startwert 4711 – gezinkt 1, 1, 1, 1, 1, 5"_s;
    QTest::newRow("secret") << 5 << true << QString();
}

void TestChartOutput::worksheetNamesHowTheDiceFall()
{
    // A worksheet of a seeded game without its start value cannot be thrown again; one of a
    // secret game must not give the secret away.
    QFETCH(int, sechs);
    QFETCH(bool, geheim);
    QFETCH(QString, named);
    QTemporaryDir tmp;
    PdfDialogs dialogs(tmp.filePath(u"blatt.pdf"_s));
    dialogs.svgPath = tmp.filePath(u"blatt.svg"_s);
    ScriptedRandom random;
    auto casino = startProgram(dialogs, random);
    auto end = qScopeGuard([&casino] { endProgram(casino); });
    casino->findChild<QAction *>(u"MZufall"_s)->trigger();
    auto *zufall = casino->findChild<QDialog *>(u"Zufall"_s);
    zufall->findChild<QLineEdit *>(u"Startwert"_s)->setText(u"4711"_s);
    zufall->findChild<QSpinBox *>(u"Gewicht6"_s)->setValue(sechs);
    zufall->findChild<QCheckBox *>(u"Geheim"_s)->setChecked(geheim);
    zufall->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    AbsHaeufigkeiten &bars = windows().absHaeufigkeiten().instance();
    bars.findChild<QAction *>(u"MDrucken"_s)->trigger();
    bars.findChild<QAction *>(u"MBildSpeichern"_s)->trigger();
    QFile pdf(tmp.filePath(u"blatt.pdf"_s));
    QFile svg(tmp.filePath(u"blatt.svg"_s));
    QVERIFY(pdf.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
    // The PDF's title is UTF-16 in its information.
    const QByteArray pdfBytes = pdf.readAll();
    const QByteArray svgBytes = svg.readAll();
    const auto utf16 = [](const QString &text) {
        QByteArray bytes;
        for (const QChar c : text)
            bytes += char(c.unicode() >> 8), bytes += char(c.unicode() & 0xff);
        return bytes;
    };
    const QString title = u"absolute Häufigkeiten – 1 Würfel – 0 Würfe"_s;
    QVERIFY(pdfBytes.contains(utf16(title + (named.isEmpty() ? u""_s : u" – "_s + named)
                                    + u" – "_s)));
    QVERIFY(svgBytes.contains(
        (u"<title>absolute Häufigkeiten"_s + (named.isEmpty() ? u""_s : u" – "_s + named)
         + u"</title>"_s)
            .toUtf8()));
}

QTEST_MAIN(TestChartOutput)
#include "tst_chart_output.moc"
