#include "common/filestore.h"
#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Vorlane;

namespace {

const QByteArray original("the original, which must survive");

// The bytes of a document of the start-up size: small enough for any write
// buffer, so only a checked flush can see its failure.
const QByteArray smallPayload(8124, 'd');
const QByteArray largePayload(3 * 1024 * 1024, 'p');

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

// A tmpfs of 64 KiB mounted on a folder and filled to the last byte, with
// one small file on it; only root can mount it.
class FullFileSystem
{
public:
    FullFileSystem()
    {
        m_mounted = geteuid() == 0
            && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=64k") == 0;
        if (!m_mounted)
            return;
        writeFile(filePath(QStringLiteral("kept.vrf")), original);
        QFile filler(filePath(QStringLiteral("filler")));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            while (filler.write(QByteArray(4096, 'f')) > 0) {
            }
        }
    }
    ~FullFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// The system call that is to fail, with EIO, on a file in folder; the failures
// that NFS, quotas and delayed writes report at the flush or the close.
struct InjectedFailure
{
    const char *call = nullptr;
    QByteArray folder;
};
InjectedFailure injected;

bool failsHere(const char *call, int fd)
{
    if (!injected.call || std::strcmp(call, injected.call) != 0)
        return false;
    char link[64];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, path, sizeof path);
    return length > 0 && QByteArray(path, length).startsWith(injected.folder);
}

template<typename Call>
Call systemCall(const char *name)
{
    return reinterpret_cast<Call>(::dlsym(RTLD_NEXT, name));
}

} // namespace

// This program's own fsync and close: the system's, unless a failure is injected.
extern "C" int fsync(int fd)
{
    static const auto system = systemCall<int (*)(int)>("fsync");
    if (!failsHere("fsync", fd))
        return system(fd);
    errno = EIO;
    return -1;
}

extern "C" int close(int fd)
{
    static const auto system = systemCall<int (*)(int)>("close");
    // As on NFS: the descriptor is gone all the same.
    const bool fails = failsHere("close", fd);
    const int result = system(fd);
    if (!fails)
        return result;
    errno = EIO;
    return -1;
}

class TestFileStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failedReplacementKeepsWhatWasThere_data();
    void failedReplacementKeepsWhatWasThere();
    void fullDiskKeepsTheOldFile();
    void replacementKeepsPermissionsAndTakesLongNames();
    void documentThroughALinkLandsWhereItLeads();
};

void TestFileStore::failedReplacementKeepsWhatWasThere_data()
{
    QTest::addColumn<QString>("target"); // "file" under a file-size limit, "fifo" or "folder"
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("failingCall"); // fails with EIO
    QTest::addColumn<QString>("reason");
    QTest::newRow("full, fits a write buffer") << "file" << smallPayload << QByteArray() << qt_error_string(EFBIG);
    QTest::newRow("full, larger than any buffer") << "file" << largePayload << QByteArray() << qt_error_string(EFBIG);
    QTest::newRow("flush fails") << "file" << QByteArray("new") << QByteArray("fsync") << qt_error_string(EIO);
    QTest::newRow("close fails") << "file" << QByteArray("new") << QByteArray("close") << qt_error_string(EIO);
    QTest::newRow("FIFO") << "fifo" << smallPayload << QByteArray() << "Not a regular file";
    QTest::newRow("folder") << "folder" << smallPayload << QByteArray() << "Not a regular file";
}

void TestFileStore::failedReplacementKeepsWhatWasThere()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, failingCall);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("target"));
    if (target == QLatin1String("fifo"))
        makeFifo(path);
    else if (target == QLatin1String("folder"))
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("target")));
    else
        writeFile(path, original);

    QString error;
    bool written = true;
    {
        const FileSizeLimit fullDisk(4096);
        injected = {failingCall.isEmpty() ? nullptr : failingCall.constData(),
                    QFile::encodeName(QFileInfo(folder.path()).canonicalFilePath() + QLatin1Char('/'))};
        written = replaceFile(path, payload, &error);
        injected = {};
    }
    QVERIFY(!written);
    QCOMPARE(error, reason);
    QCOMPARE(isFifo(path), target == QLatin1String("fifo"));
    QCOMPARE(QFileInfo(path).isDir(), target == QLatin1String("folder"));
    if (target == QLatin1String("file"))
        QCOMPARE(fileContents(path), original);
    QCOMPARE(filesIn(folder.path()), QStringList{QStringLiteral("target")});
}

void TestFileStore::fullDiskKeepsTheOldFile()
{
    FullFileSystem disk;
    if (!disk.isMounted())
        QSKIP("mounting a small tmpfs needs root");
    const QStringList files = filesIn(disk.path());
    QString error;
    QVERIFY(!replaceFile(disk.filePath(QStringLiteral("kept.vrf")), smallPayload, &error));
    QCOMPARE(error, qt_error_string(ENOSPC));
    QCOMPARE(fileContents(disk.filePath(QStringLiteral("kept.vrf"))), original);
    QCOMPARE(filesIn(disk.path()), files);
}

void TestFileStore::replacementKeepsPermissionsAndTakesLongNames()
{
    // A name of 250 bytes leaves no room for a temporary name built from it.
    QTemporaryDir folder;
    const QString path = folder.filePath(QString(246, QLatin1Char('n')) + QLatin1String(".vrf"));
    writeFile(path, original);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions permissions = QFile::permissions(path);

    QString error;
    QVERIFY2(replaceFile(path, smallPayload, &error), qPrintable(error));
    QCOMPARE(fileContents(path), smallPayload);
    QCOMPARE(QFile::permissions(path), permissions);
    QCOMPARE(filesIn(folder.path()).size(), 1);
}

void TestFileStore::documentThroughALinkLandsWhereItLeads()
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("target"));
    const QString link = folder.filePath(QStringLiteral("link"));
    writeFile(target, original);
    QVERIFY(QFile::link(target, link));
    QVERIFY(replaceFile(link, "through"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(fileContents(target), QByteArray("through"));
}

QTEST_GUILESS_MAIN(TestFileStore)
#include "tst_filestore.moc"
