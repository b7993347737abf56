// SPDX-License-Identifier: GPL-3.0-or-later
// The safe writer's Windows side: faults of its calls, names Windows makes hard, and a file
// that another program holds open.
#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <io.h>
#include <windows.h>

namespace {

enum class Call { Write, Sync, Close };

// Makes one call fail once, as a full disk or a broken stick does; a write first lets `after`
// bytes through, and with error 0 it then reports that nothing was written.
class FailingCalls final : public WriteCalls
{
public:
    FailingCalls(Call call, int error, qint64 after) : m_call(call), m_error(error), m_after(after)
    {
    }

    ssize_t write(int fd, const void *data, size_t size) override
    {
        if (m_call == Call::Write && m_written + qint64(size) > m_after) {
            if (m_written == m_after)
                return m_error == 0 ? 0 : fail();
            size = size_t(m_after - m_written);
        }
        const int n = ::_write(fd, data, unsigned(size));
        m_written += std::max(n, 0);
        return n;
    }
    int fsync(int fd) override { return m_call == Call::Sync ? fail() : ::_commit(fd); }
    int close(int fd) override
    {
        const int closed = ::_close(fd);
        return m_call == Call::Close ? fail() : closed;
    }

private:
    int fail()
    {
        errno = m_error;
        return -1;
    }

    Call m_call;
    int m_error;
    qint64 m_after;
    qint64 m_written = 0;
};

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

} // namespace

class TestSafeFileWin : public QObject
{
    Q_OBJECT

private slots:
    void faultKeepsTheOldFile_data();
    void faultKeepsTheOldFile();
    void hardNamesAreWritten_data();
    void hardNamesAreWritten();
    void lockedOrReadOnlyFileIsKept_data();
    void lockedOrReadOnlyFileIsKept();
};

void TestSafeFileWin::faultKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("oldFile");
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("error");
    QTest::addColumn<qint64>("after");
    QTest::addColumn<QString>("reason");

    const QString full = QStringLiteral("Der Datenträger ist voll.");
    const QString ioError =
        QStringLiteral("Beim Schreiben auf den Datenträger ist ein Fehler aufgetreten.");
    for (const bool old : {true, false}) {
        const char *prefix = old ? "replacing: " : "new file: ";
        QTest::addRow("%sdisk full at once", prefix) << old << int(Call::Write) << ENOSPC
                                                     << qint64(0) << full;
        QTest::addRow("%sdisk full half-way", prefix) << old << int(Call::Write) << ENOSPC
                                                      << qint64(50000) << full;
        QTest::addRow("%swrite takes nothing", prefix) << old << int(Call::Write) << 0
                                                       << qint64(7) << ioError;
        QTest::addRow("%sflush fails", prefix) << old << int(Call::Sync) << EIO << qint64(0)
                                               << ioError;
        QTest::addRow("%sclose fails", prefix) << old << int(Call::Close) << EIO << qint64(0)
                                               << ioError;
    }
}

void TestSafeFileWin::faultKeepsTheOldFile()
{
    // Whatever call fails, the old file is as it was (or there is none), no temporary file is
    // left, and the reason is German.
    QFETCH(bool, oldFile);
    QFETCH(int, call);
    QFETCH(int, error);
    QFETCH(qint64, after);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("daten.txt"));
    if (oldFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("alte Daten");
    }
    const QStringList before = entries(dir.path());

    FailingCalls calls(Call(call), error, after);
    QCOMPARE(writeFileSafely(path, QByteArray(100000, 'x'), calls), std::optional(reason));
    QCOMPARE(read(path), oldFile ? QByteArray("alte Daten") : QByteArray("<missing>"));
    QCOMPARE(entries(dir.path()), before);
}

void TestSafeFileWin::hardNamesAreWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("umlauts and spaces") << QStringLiteral("Würfel für Klasse 7ä/Häufigkeit ß.txt")
                                        << false;
    QTest::newRow("umlauts, replaced") << QStringLiteral("Ölfeld Übung.txt") << true;
    // Over Windows' old limit of 260 characters.
    const QString folder(120, u'o');
    QTest::newRow("long path") << folder + u'/' + folder + QStringLiteral("/daten.txt") << false;
    QTest::newRow("long path, replaced") << folder + u'/' + folder + QStringLiteral("/daten.txt")
                                         << true;
}

void TestSafeFileWin::hardNamesAreWritten()
{
    // Names a school's files have, and paths deeper than 260 characters, are written whole.
    QFETCH(QString, name);
    QFETCH(bool, oldFile);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QString folder = QFileInfo(path).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    if (oldFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("alte Daten, länger als die neuen");
    }
    const QByteArray bytes = QByteArrayLiteral("Augensumme;H\xe4ufigkeit\r\n");
    QCOMPARE(writeFileSafely(path, bytes), std::nullopt);
    QCOMPARE(read(path), bytes);
    QCOMPARE(entries(folder), QStringList{QFileInfo(path).fileName()});
}

void TestSafeFileWin::lockedOrReadOnlyFileIsKept_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("reason");
    QTest::newRow("open in another program, as Excel holds it")
        << true << QStringLiteral("Die Datei wird gerade von einem anderen Programm verwendet "
                                  "(etwa von Excel). Bitte sie dort schließen und noch einmal "
                                  "speichern.");
    QTest::newRow("read-only") << false << QStringLiteral("Der Zugriff wurde verweigert.");
}

void TestSafeFileWin::lockedOrReadOnlyFileIsKept()
{
    // A file another program holds or that is read-only stays as it was, with a clear reason.
    QFETCH(bool, locked);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Auswertung.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("alte Daten");
    }
    HANDLE held = INVALID_HANDLE_VALUE;
    if (locked) {
        // Excel lets others read a workbook it has open, but neither write nor delete it.
        held = CreateFileW(wide(QDir::toNativeSeparators(path)), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(held != INVALID_HANDLE_VALUE);
    } else {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    }
    const QStringList before = entries(dir.path());

    const auto result = writeFileSafely(path, QByteArray("neue Daten"));
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(result, std::optional(reason));
    QCOMPARE(read(path), QByteArray("alte Daten"));
    // Wine's ReplaceFileW first makes an empty "rf*.tmp" in the folder to move the old file to,
    // and leaves it there when the move fails; Windows' own does not.
    if (locked && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QEXPECT_FAIL("", "Wine's ReplaceFileW leaves its own empty rf*.tmp behind", Continue);
    QCOMPARE(entries(dir.path()), before);
}

QTEST_MAIN(TestSafeFileWin)
#include "tst_safe_file_win.moc"
