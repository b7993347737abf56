// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"
#include "casino.h"
#include "export_data.h"
#include "fakes.h"
#include "history_text.h"
#include "safe_file.h"
#include "statistics_windows.h"
#include "test_files.h"
#include "verlauf.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileHoldsTheGame_data();
    void fileHoldsTheGame();
    void secondExportReplacesTheFirst();
    void nameWithoutExtensionIsUsedAsTyped();
    void cancelWritesNothing();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void unusualTargetIsRefused_data();
    void unusualTargetIsRefused();
    void targetKeepsItsIdentity_data();
    void targetKeepsItsIdentity();
    void editedHistoryIsEncoded();
    void exportChangesNothing();
    void shortageInTheDialogKeepsTheGame();
    void nextStartTellsOfAKilledWrite();

private:
    QByteArray exportTo(const QString &path);
    static QByteArray read(const QString &path);
    void throwValues(int dice, std::initializer_list<int> values, int throws);

    std::unique_ptr<Casino> m_casino;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
};

void TestExport::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_dir = QDir(m_tmp->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_casino = startProgram(*m_dialogs, m_random);
}

void TestExport::cleanup()
{
    endProgram(m_casino);
    m_dialogs.reset();
    m_tmp.reset();
}

QByteArray TestExport::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

QByteArray TestExport::exportTo(const QString &path)
{
    m_dialogs->saveAnswers.push_back(path);
    m_casino->findChild<QAction *>(QStringLiteral("MExport"))->trigger();
    return read(path);
}

void TestExport::throwValues(int dice, std::initializer_list<int> values, int throws)
{
    if (dice != game().austausch().Anzahl) {
        m_dialogs->inputAnswers.push_back(QString::number(dice));
        m_casino->MAnzahl_Click();
    }
    game().austausch().Wurfzahl = throws;
    ScriptedRandom &random = m_random;
    random.pushValues(values);
    m_casino->CBKollavo_MouseDown();
}

void TestExport::fileHoldsTheGame_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("one die, no throw: 35 bytes")
        << 1 << QList<int>{} << QByteArray("1 2 3 4 5 6\r\n0 0 0 0 0 0\r\nW\xFC" "rfel1\r\n");
    QTest::newRow("two dice, three throws")
        << 2 << QList<int>{3, 5, 1, 1, 6, 2}
        << QByteArray("2 3 4 5 6 7 8 9 10 11 12\r\n1 0 0 0 0 0 2 0 0 0 0\r\n"
                      "W\xFC" "rfel1 W\xFC" "rfel2\r\n3 5\r\n1 1\r\n6 2");
    QTest::newRow("seven dice, one throw")
        << 7 << QList<int>{6, 6, 6, 6, 6, 6, 6}
        << QByteArray("7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 "
                      "32 33 34 35 36 37 38 39 40 41 42\r\n"
                      "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1\r\n"
                      "W\xFC" "rfel1 W\xFC" "rfel2 W\xFC" "rfel3 W\xFC" "rfel4 W\xFC" "rfel5 W\xFC"
                      "rfel6 W\xFC" "rfel7\r\n6 6 6 6 6 6 6");
}

void TestExport::fileHoldsTheGame()
{
    // The file is read by spreadsheets and other programs: every byte counts.
    QFETCH(int, dice);
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, expected);
    if (!values.isEmpty()) {
        const int throws = static_cast<int>(values.size()) / dice;
        if (dice != game().austausch().Anzahl) {
            m_dialogs->inputAnswers.push_back(QString::number(dice));
            m_casino->MAnzahl_Click();
        }
        game().austausch().Wurfzahl = throws;
        ScriptedRandom &random = m_random;
        for (int v : values)
            random.pushValue(v);
        m_casino->CBKollavo_MouseDown();
    }
    const QString path = m_dir.filePath(QStringLiteral("daten.txt"));
    QCOMPARE(exportTo(path), expected);
    QCOMPARE(m_dialogs->saveFilters, QList<QStringList>{{QStringLiteral("Text (*.txt)")}});
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestExport::secondExportReplacesTheFirst()
{
    // A shorter second export must not leave the tail of the first one behind.
    const QString path = m_dir.filePath(QStringLiteral("zweimal.txt"));
    throwValues(1, {1, 2, 3, 4, 5, 6}, 6);
    exportTo(path);
    m_casino->MNeu_Click();
    QCOMPARE(exportTo(path).size(), 35);
}

void TestExport::nameWithoutExtensionIsUsedAsTyped()
{
    // The program adds no extension of its own.
    const QString path = m_dir.filePath(QStringLiteral("daten"));
    QCOMPARE(exportTo(path).size(), 35);
    QVERIFY(!QFile::exists(path + QStringLiteral(".txt")));
}

void TestExport::cancelWritesNothing()
{
    // Cancelling the dialog must neither write a file nor end the program with an error.
    const int before = static_cast<int>(m_dir.entryList(QDir::Files).size());
    m_casino->findChild<QAction *>(QStringLiteral("MExport"))->trigger();
    QCOMPARE(m_dialogs->saveFilters.size(), 1);
    QCOMPARE(m_dir.entryList(QDir::Files).size(), before);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestExport::failedWriteIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("links");       // 0: no old file; else "alte Daten" with this many links
    QTest::addColumn<bool>("readOnly");   // old file and folder without write permission
    QTest::addColumn<qint64>("sizeLimit"); // RLIMIT_FSIZE during the export; 0: none
    QTest::addColumn<QString>("reason");

    const QString tooLarge = QStringLiteral("Die Datei ist zu groß.");
    QTest::newRow("missing folder") << QStringLiteral("gibt-es-nicht/daten.txt") << 0 << false
                                    << qint64(0) << QStringLiteral("Der Ordner existiert nicht.");
    QTest::newRow("size limit, replaced") << QStringLiteral("alt.txt") << 1 << false << qint64(20)
                                          << tooLarge;
    QTest::newRow("size limit, in place")
        << QStringLiteral("alt.txt") << 2 << false << qint64(20)
        << tooLarge + QStringLiteral(" Der alte Inhalt der Datei wurde wiederhergestellt.");
    QTest::newRow("no permission") << QStringLiteral("alt.txt") << 1 << true << qint64(0)
                                   << QStringLiteral("Der Zugriff wurde verweigert.");
}

void TestExport::failedWriteIsReported()
{
    // A failed write names the file and a German reason, leaves the old file as it was and
    // nothing else behind; a file-size limit must not end the program (SIGXFSZ).
    QFETCH(QString, name);
    QFETCH(int, links);
    QFETCH(bool, readOnly);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, reason);
    if (const QString why = TestFiles::FileSizeLimit::unsupported(); sizeLimit > 0 && !why.isEmpty())
        QSKIP(qPrintable(why));
    if (const QString why = TestFiles::hardLinksReplaced(); links > 1 && !why.isEmpty())
        QSKIP(qPrintable(why));
    if (const QString why = TestFiles::readOnlyFilesIgnored(); readOnly && !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString path = m_dir.filePath(name);
    if (links > 0) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("alte Daten");
    }
    for (int k = 1; k < links; ++k)
        QCOMPARE(TestFiles::hardLink(path, path + QString::number(k)), QString());
    if (readOnly) {
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const QStringList before = m_dir.entryList(QDir::Files);
    throwValues(1, {1, 2, 3, 4, 5, 6}, 6);

    m_dialogs->saveAnswers.push_back(path);
    {
        std::optional<TestFiles::FileSizeLimit> limit;
        if (sizeLimit > 0)
            limit.emplace(sizeLimit);
        m_casino->MExport_Click();
    }
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | QFileDevice::ExeOwner);

    QCOMPARE(read(path), links > 0 ? QByteArray("alte Daten") : QByteArray("<missing>"));
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().text,
             QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2").arg(path, reason));
    QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Icon::Warning);
    QCOMPARE(m_dir.entryList(QDir::Files), before);
}

void TestExport::shortageInTheDialogKeepsTheGame()
{
    // Memory running out inside the save dialog ended the program, and every throw with it.
    throwValues(1, {1, 2, 3}, 3);
    const QString history = game().history().text();
    m_dialogs->whileFileDialogOpen = [] { throw std::bad_alloc(); };
    m_dialogs->saveAnswers.push_back(m_dir.filePath(QStringLiteral("daten.txt")));
    m_casino->findChild<QAction *>(QStringLiteral("MExport"))->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.first().text.startsWith(
        QStringLiteral("Die Daten wurden nicht exportiert.\r\nDer Arbeitsspeicher reicht nicht aus. "
                       "Das Spiel bleibt erhalten")));
    QCOMPARE(game().history().text(), history);
    QCOMPARE(game().throws(), qint64(3));
    QVERIFY(m_dir.isEmpty());
}

void TestExport::nextStartTellsOfAKilledWrite()
{
    // Kollavo killed in the middle of a write in place: the next start says where the old
    // contents are, once.
    QStandardPaths::setTestModeEnabled(true);
    const QString path = m_dir.filePath(QStringLiteral("alt.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("alte Daten");
    old.close();
    QCOMPARE(::link(qPrintable(path), qPrintable(path + QStringLiteral("2"))), 0);
    const pid_t child = fork();
    if (child == 0) {
        // Dies at the first write into the file, as in a power cut.
        struct Dying final : WriteCalls
        {
            ssize_t write(int, const void *, size_t) override { _exit(0); }
        } calls;
        writeFileSafely(path, "neue Daten", calls);
        _exit(1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QCOMPARE(WEXITSTATUS(status), 0);

    endProgram(m_casino);
    m_casino = startProgram(*m_dialogs, m_random);
    QTRY_COMPARE(m_dialogs->messages.size(), 1);
    const QString text = m_dialogs->messages.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Kollavo wurde beendet, während es die Datei „%1“ "
                                            "überschrieb. Der alte Inhalt dieser Datei liegt in „%1"
                                            ".kollavo-alter-inhalt-")
                                 .arg(path)),
             qPrintable(text));
    endProgram(m_casino);
    m_casino = startProgram(*m_dialogs, m_random);
    QCoreApplication::processEvents();
    QCOMPARE(m_dialogs->messages.size(), 1);
}

void TestExport::unusualTargetIsRefused_data()
{
    QTest::addColumn<QString>("target"); // empty: a FIFO made by the test
    QTest::newRow("FIFO") << QString();
    QTest::newRow("device") << TestFiles::fullDevice();
}

void TestExport::unusualTargetIsRefused()
{
    // A device or FIFO must neither be replaced by a regular file nor block the program.
    QFETCH(QString, target);
    if (QTest::currentDataTag() == QByteArrayLiteral("FIFO")) {
        target = m_dir.filePath(QStringLiteral("pipe"));
        if (const QString why = TestFiles::makeFifo(target); !why.isEmpty())
            QSKIP(qPrintable(why));
    }
    if (target.isEmpty())
        QSKIP("no such device here");
    const auto before = TestFiles::identity(target);
    QVERIFY(before);
    m_dialogs->saveAnswers.push_back(target);
    m_casino->MExport_Click();
    const auto after = TestFiles::identity(target);
    QVERIFY(after);
    QCOMPARE(after->file, before->file);
    QCOMPARE(after->mode, before->mode);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.first().text.contains(QStringLiteral("keine gewöhnliche Datei")));
}

void TestExport::targetKeepsItsIdentity_data()
{
    QTest::addColumn<int>("links");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("ordinary file: replaced, permissions kept") << 1 << false << false;
    QTest::newRow("hard-linked file keeps its links") << 2 << false << true;
    QTest::newRow("writable file in read-only folder") << 1 << true << true;
}

void TestExport::targetKeepsItsIdentity()
{
    // Replacing a hard-linked file would cut its links, and a read-only folder forbids the
    // replacement although the file itself may be written.
    QFETCH(int, links);
    QFETCH(bool, readOnlyFolder);
    QFETCH(bool, inPlace);
    if (const QString why = TestFiles::folderPermissionsIgnored(); readOnlyFolder && !why.isEmpty())
        QSKIP(qPrintable(why));
    if (const QString why = TestFiles::hardLinksReplaced(); links > 1 && !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString path = m_dir.filePath(QStringLiteral("ziel.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("alte Daten, etwas mehr als die neuen 35 Bytes");
    old.close();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                    | QFileDevice::ReadGroup);
    for (int k = 1; k < links; ++k)
        QCOMPARE(TestFiles::hardLink(path, path + QString::number(k)), QString());
    if (readOnlyFolder)
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto before = TestFiles::identity(path);
    QVERIFY(before);

    const QByteArray written = exportTo(path);
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                            | QFileDevice::ExeOwner);
    QCOMPARE(written.size(), 35);
    QVERIFY(m_dialogs->messages.isEmpty());
    const auto after = TestFiles::identity(path);
    QVERIFY(after);
    QCOMPARE(after->file == before->file, inPlace);
    QCOMPARE(after->links, before->links);
    QCOMPARE(after->mode, before->mode);
    for (int k = 1; k < links; ++k)
        QCOMPARE(read(path + QString::number(k)), written);
}

void TestExport::editedHistoryIsEncoded()
{
    // Windows-1252 has ü and €, but not every character a user can type: those become '?'
    // and the user is told how many.
    // A zero-width space and a lone surrogate at the end must not vanish unnoticed either.
    windows().verlauf()->TFVerlauf().setPlainText(QStringLiteral("ü € ĉ ") + QString::fromUtf8("\xF0\x9F\x8E\xB2")
                                        + QStringLiteral(" \u200B ") + QChar(0xD800));
    const QByteArray bytes = exportTo(m_dir.filePath(QStringLiteral("zeichen.txt")));
    QVERIFY(bytes.endsWith(QByteArray("\r\n\xFC \x80 ? ? ? ?")));
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.first().text.contains(QStringLiteral("4 Zeichen")));
}

void TestExport::exportChangesNothing()
{
    // Exporting only reads the game.
    throwValues(2, {3, 5, 1, 1}, 2);
    QAction *item = m_casino->findChild<QAction *>(QStringLiteral("Mabs"));
    item->trigger();
    const QString historyBefore = game().history().text();
    const qint64 totalBefore = game().austausch().totalCount();
    exportTo(m_dir.filePath(QStringLiteral("nur-lesen.txt")));
    QCOMPARE(game().history().text(), historyBefore);
    QCOMPARE(game().austausch().totalCount(), totalBefore);
    QCOMPARE(game().austausch().Haeufigkeit[2], 1);
    QVERIFY(item->isChecked());
    QVERIFY(windows().absHaeufigkeiten().loadedWidget()->isVisible());
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
