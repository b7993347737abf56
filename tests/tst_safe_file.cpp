// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include "memory_shortage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Call { Write, Truncate, Sync, Close };

// Makes one of the calls fail as a disk or the kernel can: once, or every time from then on.
// A write first lets `after` bytes through, as a short write; with error 0 it then returns 0.
class FailingCalls final : public WriteCalls
{
public:
    FailingCalls(Call call, int error, qint64 after, bool always)
        : m_call(call), m_error(error), m_after(after), m_always(always) { }

    ssize_t write(int fd, const void *data, size_t size) override
    {
        if (armed(Call::Write) && m_written + qint64(size) > m_after) {
            if (m_written == m_after)
                return m_error == 0 ? (m_fired = true, 0) : fail();
            size = size_t(m_after - m_written);
        }
        const ssize_t n = ::write(fd, data, size);
        m_written += std::max<ssize_t>(n, 0);
        return n;
    }
    int ftruncate(int fd, off_t length) override
    {
        return armed(Call::Truncate) ? fail() : ::ftruncate(fd, length);
    }
    int fsync(int fd) override { return armed(Call::Sync) ? fail() : ::fsync(fd); }
    // Linux releases the descriptor before it reports the error.
    int close(int fd) override
    {
        const int closed = ::close(fd);
        return armed(Call::Close) ? fail() : closed;
    }

private:
    bool armed(Call call) const { return call == m_call && (m_always || !m_fired); }
    int fail()
    {
        m_fired = true;
        errno = m_error;
        return -1;
    }

    Call m_call;
    int m_error;
    qint64 m_after;
    bool m_always;
    bool m_fired = false;
    qint64 m_written = 0;
};

QByteArray pattern(qint64 size, char first)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(first + i % 26);
    return bytes;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// Writes normally until the second write, where the program dies as in a power cut.
class KilledCalls final : public WriteCalls
{
public:
    ssize_t write(int fd, const void *data, size_t size) override
    {
        if (++m_writes == 2)
            _exit(0);
        return ::write(fd, data, size);
    }

private:
    int m_writes = 0;
};

const QString Restored = QStringLiteral(" Der alte Inhalt der Datei wurde wiederhergestellt.");

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void faultLeavesOldOrNewFile_data();
    void faultLeavesOldOrNewFile();
    void lastingFaultKeepsACopy_data();
    void lastingFaultKeepsACopy();
    void killedWriteLeavesACopy();
    void reasonNamesTheCause_data();
    void reasonNamesTheCause();
    void linksInSharedFolders_data();
    void linksInSharedFolders();
    void danglingLinkIsRefused();
    void strayTemporariesAreRemoved();
    void replacedFileKeepsItsGroup();
    void fileSizeLimitDoesNotEndTheProgram();
    void shortageWhileStreamingKeepsTheFile();
};

void TestSafeFile::initTestCase()
{
    // Copies that must wait for the next start are noted in the user's data folder.
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
}

void TestSafeFile::faultLeavesOldOrNewFile_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("error");  // 0 with a write: it returns 0
    QTest::addColumn<qint64>("after");
    QTest::addColumn<QString>("reason"); // empty: the fault does no harm

    const QString io = QStringLiteral("Beim Schreiben auf den Datenträger ist ein Fehler aufgetreten.");
    const QString full = QStringLiteral("Der Datenträger ist voll.");
    for (const bool inPlace : {true, false}) {
        const auto row = [&](const char *tag, Call call, int error, qint64 after,
                             const QString &reason) {
            QTest::addRow("%s, %s", inPlace ? "in place" : "replaced", tag)
                << inPlace << int(call) << error << after << reason;
        };
        row("EIO after 100 bytes", Call::Write, EIO, 100, io);
        row("ENOSPC at once", Call::Write, ENOSPC, 0, full);
        row("write returns 0", Call::Write, 0, 300, io);
        row("EINTR retried", Call::Write, EINTR, 0, QString());
        // A new file needs no truncation: replacing never calls it.
        row("ftruncate fails", Call::Truncate, EIO, 0, inPlace ? io : QString());
        row("fsync fails", Call::Sync, EIO, 0, io);
        row("close fails", Call::Close, ENOSPC, 0, full);
    }
}

void TestSafeFile::faultLeavesOldOrNewFile()
{
    // Whatever fails on the way, the file holds either its old or its new contents, never a
    // mixture, and only a failure is reported.
    QFETCH(bool, inPlace);
    QFETCH(int, call);
    QFETCH(int, error);
    QFETCH(qint64, after);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("ziel.txt"));
    const QByteArray old = pattern(1000, 'a');
    const QByteArray next = pattern(600, 'A');
    write(path, old);
    if (inPlace) // another hard link: the file must keep its identity
        QCOMPARE(::link(qPrintable(path), qPrintable(tmp.filePath(QStringLiteral("link")))), 0);
    const QStringList before = entries(tmp.path());

    FailingCalls calls(Call(call), error, after, false);
    const auto message = writeFileSafely(path, next, calls);

    if (reason.isEmpty()) {
        QCOMPARE(message, std::nullopt);
        QCOMPARE(read(path), next);
    } else {
        QCOMPARE(message.value_or(QString()), inPlace ? reason + Restored : reason);
        QCOMPARE(read(path), old);
    }
    QCOMPARE(entries(tmp.path()), before);
}

void TestSafeFile::lastingFaultKeepsACopy_data()
{
    QTest::addColumn<qint64>("after");
    QTest::addColumn<bool>("closedFolder"); // the file's folder takes no new file
    QTest::newRow("after 100 bytes") << qint64(100) << false;
    // Nothing written: the file stays exactly as it was, not padded to the new length.
    QTest::newRow("first write") << qint64(0) << false;
    // Not the temporary folder, which the system may empty at the next boot.
    QTest::newRow("folder closed: the data folder") << qint64(100) << true;
}

void TestSafeFile::lastingFaultKeepsACopy()
{
    // When the old contents cannot be put back either, they are in a file the message names.
    QFETCH(qint64, after);
    QFETCH(bool, closedFolder);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("ziel.txt"));
    const QByteArray old = pattern(1000, 'a');
    write(path, old);
    QCOMPARE(::link(qPrintable(path), qPrintable(tmp.filePath(QStringLiteral("link")))), 0);
    const QString folder = closedFolder
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
              + QStringLiteral("/Sicherungskopien")
        : tmp.path();
    // Even root cannot add a file to an immutable folder.
    const int dir = ::open(qPrintable(tmp.path()), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const auto setImmutable = [&](bool on) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        return ::ioctl(dir, FS_IOC_SETFLAGS, &flags) == 0;
    };
    if (closedFolder && (::ioctl(dir, FS_IOC_GETFLAGS, &flags) != 0 || !setImmutable(true))) {
        ::close(dir);
        QSKIP("the folder cannot be made immutable here");
    }

    FailingCalls calls(Call::Write, EIO, after, true);
    const auto message = writeFileSafely(path, pattern(3000, 'A'), calls);
    if (closedFolder)
        setImmutable(false);
    ::close(dir);

    const QStringList copies = QDir(folder).entryList(
        {QStringLiteral("ziel.txt.kollavo-alter-inhalt-*-%1").arg(::getpid())}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    const QString copy = folder + u'/' + copies.first();
    QCOMPARE(entries(tmp.path()).size(), closedFolder ? 2 : 3);
    QCOMPARE(message.value_or(QString()),
             QStringLiteral("Beim Schreiben auf den Datenträger ist ein Fehler aufgetreten. Der "
                            "alte Inhalt ließ sich nicht wiederherstellen; eine Kopie davon liegt "
                            "in „%1“.")
                 .arg(copy));
    QVERIFY(read(copy) == old);
    if (after == 0)
        QVERIFY(read(path) == old);
    // The user has been told; the next start need not tell again.
    QCOMPARE(interruptedWriteReports(), QStringList());
    if (closedFolder)
        QFile::remove(copy);
}

void TestSafeFile::killedWriteLeavesACopy()
{
    // A program killed between two writes in place (a power cut) leaves the old contents in a
    // named copy, and the next start says where it lies, once, deleting nothing.
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("ziel.txt"));
    const QByteArray old = pattern(3000, 'a');
    write(path, old);
    QCOMPARE(::link(qPrintable(path), qPrintable(tmp.filePath(QStringLiteral("link")))), 0);

    const pid_t child = fork();
    if (child == 0) {
        KilledCalls calls;
        int piece = 0;
        writeFileSafely(path, 2000, [&] { return piece++ < 2 ? pattern(1000, 'A') : QByteArray(); },
                        calls);
        _exit(3); // the second write should not have come back
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);

    QCOMPARE(read(path).left(1000), pattern(1000, 'A'));
    const QString name = QStringLiteral("ziel.txt.kollavo-alter-inhalt-*-%1").arg(child);
    const QStringList copies = QDir(tmp.path()).entryList({name}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    const QString copy = tmp.filePath(copies.first());
    QVERIFY(read(copy) == old);

    QCOMPARE(interruptedWriteReports(),
             QStringList(QStringLiteral("Kollavo wurde beendet, während es die Datei „%1“ "
                                        "überschrieb. Der alte Inhalt dieser Datei liegt in "
                                        "„%2“; die Kopie wurde nicht gelöscht.")
                             .arg(path, copy)));
    QCOMPARE(interruptedWriteReports(), QStringList());
    QVERIFY(QFile::exists(copy));
}

void TestSafeFile::reasonNamesTheCause_data()
{
    QTest::addColumn<QString>("name"); // relative to a fresh folder, or absolute
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << QStringLiteral("fehlt/bild.png")
                                    << QStringLiteral("Der Ordner existiert nicht.");
    // Only root gets past the permissions to hear that /proc takes no files at all.
    QTest::newRow("folder that takes no files") << QStringLiteral("/proc/version.png")
        << (geteuid() == 0 ? QStringLiteral("In diesem Ordner lassen sich keine Dateien anlegen.")
                           : QStringLiteral("Der Zugriff wurde verweigert."));
    QTest::newRow("link pointing to itself") << QStringLiteral("schleife")
        << QStringLiteral("Der Pfad enthält zu viele symbolische Verknüpfungen, vielleicht "
                          "eine, die auf sich selbst zeigt.");
}

void TestSafeFile::reasonNamesTheCause()
{
    // A teacher must be able to act on the message: "no folder" only when there is none.
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir tmp;
    QFile::link(QStringLiteral("schleife"), tmp.filePath(QStringLiteral("schleife")));
    const QString path = QDir::isAbsolutePath(name) ? name : tmp.filePath(name);
    QCOMPARE(writeFileSafely(path, "x").value_or(QString()), reason);
}

void TestSafeFile::linksInSharedFolders_data()
{
    QTest::addColumn<bool>("shared");   // a sticky folder everyone may write to, like /tmp
    QTest::addColumn<bool>("stranger"); // the link belongs to another user than folder and writer
    QTest::addColumn<QString>("message");
    const QString refused = QStringLiteral("„bericht.txt“ ist eine Verknüpfung, die ein anderer "
                                           "Benutzer in einem gemeinsamen Ordner angelegt hat. "
                                           "Kollavo folgt ihr nicht; es wurde nichts geschrieben.");
    QTest::newRow("stranger's link in a shared folder") << true << true << refused;
    QTest::newRow("own link in a shared folder") << true << false << QString();
    QTest::newRow("stranger's link in a private folder") << false << true << QString();
}

void TestSafeFile::linksInSharedFolders()
{
    // Another user's link in /tmp must not make the teacher overwrite a file the link points to.
    QFETCH(bool, shared);
    QFETCH(bool, stranger);
    QFETCH(QString, message);
    const passwd *nobody = ::getpwnam("nobody");
    if (stranger && (::geteuid() != 0 || !nobody))
        QSKIP("only root can give a link to another user");
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("gemeinsam"));
    QVERIFY(QDir().mkdir(folder));
    QCOMPARE(::chmod(qPrintable(folder), shared ? 01777 : 0755), 0);
    const QString victim = tmp.filePath(QStringLiteral("wichtig"));
    write(victim, "alt");
    const QString link = folder + QStringLiteral("/bericht.txt");
    QVERIFY(QFile::link(victim, link));
    if (stranger)
        QCOMPARE(::lchown(qPrintable(link), nobody->pw_uid, nobody->pw_gid), 0);

    const auto result = writeFileSafely(link, "neu");

    QCOMPARE(result.value_or(QString()), message);
    QCOMPARE(read(victim), message.isEmpty() ? QByteArray("neu") : QByteArray("alt"));
    QVERIFY(QFileInfo(link).isSymLink());
}

void TestSafeFile::danglingLinkIsRefused()
{
    // A link to a missing file stays a link: a new file in its place would not be where the
    // user expects it.
    QTemporaryDir tmp;
    const QString link = tmp.filePath(QStringLiteral("bericht.txt"));
    const QString missing = tmp.filePath(QStringLiteral("fehlt.txt"));
    QVERIFY(QFile::link(missing, link));
    QCOMPARE(writeFileSafely(link, "neu").value_or(QString()),
             QStringLiteral("„bericht.txt“ ist eine Verknüpfung auf „%1“, und diese Datei gibt "
                            "es nicht; es wurde nichts geschrieben.")
                 .arg(missing));
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(!QFile::exists(missing));
}

void TestSafeFile::strayTemporariesAreRemoved()
{
    // A save that was killed leaves its hidden file; the next save in that folder removes it,
    // but not the file of a save still running.
    QTemporaryDir tmp;
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    QCOMPARE(waitpid(gone, nullptr, 0), gone);
    const auto stray = [&](const QString &name, bool old) {
        const QString path = tmp.filePath(name);
        write(path, "halb");
        if (old) {
            const timeval times[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
            QCOMPARE(::utimes(qPrintable(path), times), 0);
        }
    };
    const QString running = QStringLiteral(".kollavo-%1-b.tmp").arg(::getpid());
    stray(QStringLiteral(".kollavo-%1-a.tmp").arg(gone), false);
    stray(running, false);
    stray(QStringLiteral(".kollavo-alt.tmp"), true);
    stray(QStringLiteral(".kollavo-neu.tmp"), false);

    QCOMPARE(writeFileSafely(tmp.filePath(QStringLiteral("daten.txt")), "neu"), std::nullopt);
    QCOMPARE(entries(tmp.path()), QStringList({running, QStringLiteral(".kollavo-neu.tmp"),
                                QStringLiteral("daten.txt")}));
}

void TestSafeFile::replacedFileKeepsItsGroup()
{
    // A file shared with a class's group must stay readable to it after the next export.
    gid_t groups[64] = {4242}; // root may give any group
    const int n = geteuid() == 0 ? 1 : getgroups(64, groups);
    const gid_t *group = std::find_if(groups, groups + std::max(n, 0),
                                      [](gid_t g) { return g != getegid(); });
    if (group == groups + std::max(n, 0))
        QSKIP("the user belongs to no second group");
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("daten.txt"));
    write(path, "alt");
    QCOMPARE(::chown(qPrintable(path), uid_t(-1), *group), 0);
    QCOMPARE(writeFileSafely(path, "neu"), std::nullopt);
    struct stat after = {};
    QCOMPARE(::stat(qPrintable(path), &after), 0);
    QCOMPARE(read(path), QByteArray("neu"));
    QCOMPARE(after.st_gid, *group);
}

void TestSafeFile::fileSizeLimitDoesNotEndTheProgram()
{
    // Under a 100-byte file-size limit, whatever writes first (Qt's own settings, say) must
    // fail without SIGXFSZ ending the program, and a save says why it failed.
    QTemporaryDir tmp;
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_DFL);
        ignoreFileSizeSignal();
        const rlimit limit = {100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        QFile settings(tmp.filePath(QStringLiteral("einstellungen.conf")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(QByteArray(200, 'x'));
        settings.close();
        const auto message = writeFileSafely(tmp.filePath(QStringLiteral("daten.txt")),
                                             QByteArray(200, 'y'));
        const bool ok = message == QStringLiteral("Die Datei ist zu groß.")
                        && !QFile::exists(tmp.filePath(QStringLiteral("daten.txt")));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "ended by a signal");
    QCOMPARE(WEXITSTATUS(status), 0);
}

void TestSafeFile::shortageWhileStreamingKeepsTheFile()
{
    // Memory running out between two pieces of an export: the old file stays, and the teacher
    // hears that the game is kept too.
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("daten.txt"));
    write(path, "alte Daten");
    int given = 0;
    const FilePieces pieces = [&given]() -> QByteArray {
        if (given++ == 0)
            return pattern(70000, 'n');
        throw std::bad_alloc();
    };
    const auto message = writeFileSafely(path, 140000, pieces);
    QCOMPARE(message.value_or(QString()), shortageReason());
    QCOMPARE(read(path), QByteArray("alte Daten"));
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safe_file.moc"
