#include "common/filestore.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Vorlane {

namespace {

constexpr int maxLinkDepth = 40;

void setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

bool fail(QString *error, int code)
{
    setError(error, qt_error_string(code));
    return false;
}

QString notARegularFile()
{
    return QStringLiteral("Not a regular file");
}

QString linkTarget(const QString &path, LinkHandling links)
{
    QString target = path;
    for (int depth = 0; links == LinkHandling::WriteThrough && depth < maxLinkDepth; ++depth) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            break;
        target = info.symLinkTarget();
    }
    return target;
}

// Short, so that the name of the file it replaces may use the whole length a
// name can have.
QString temporaryNameBeside(const QString &target)
{
    return QFileInfo(target).path() + QLatin1String("/.vl")
        + QString::number(QRandomGenerator::system()->generate(), 16) + QLatin1String(".tmp");
}

int createTemporary(const QString &target, QString *name)
{
    for (;;) {
        *name = temporaryNameBeside(target);
        const int fd = ::open(QFile::encodeName(*name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// The file's bytes up to its end or maxBytes; none on an error, and errno says why.
std::optional<QByteArray> readUpTo(int fd, qint64 maxBytes)
{
    QByteArray bytes;
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const ssize_t count = ::read(fd, buffer, size_t(qMin<qint64>(sizeof buffer, maxBytes - bytes.size())));
        if (count == 0)
            break;
        if (count > 0)
            bytes.append(buffer, count);
        else if (errno != EINTR)
            return std::nullopt;
    }
    return bytes;
}

QByteArray identityOf(const struct stat &status)
{
    return QByteArray::number(quint64(status.st_dev)) + ':' + QByteArray::number(quint64(status.st_ino)) + ':'
        + QByteArray::number(qint64(status.st_size)) + ':' + QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qint64(status.st_mtim.tv_nsec));
}

QByteArray identityOf(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? identityOf(status) : QByteArray();
}

// False when target exists and is neither a regular file nor a symbolic
// link; keptMode, when given, gets a regular file's permissions.
bool mayReplace(const QString &target, std::optional<unsigned> *keptMode = nullptr)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(target).constData(), &status) != 0)
        return true;
    if (S_ISREG(status.st_mode) && keptMode)
        *keptMode = status.st_mode & 07777;
    return S_ISREG(status.st_mode) || S_ISLNK(status.st_mode);
}

// A descriptor of the regular file at path, or -1 with error set. Opening
// without delay keeps a FIFO without a writer from blocking us.
int openRegular(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(error, errno);
        return -1;
    }
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        return fd;
    setError(error, notARegularFile());
    ::close(fd);
    return -1;
}

} // namespace

FileReplacement::FileReplacement(QString path, LinkHandling links)
    : m_target(linkTarget(path, links))
{
}

FileReplacement::~FileReplacement()
{
    discard();
}

bool FileReplacement::open(QString *error)
{
    if (!mayReplace(m_target, &m_keptMode)) {
        setError(error, notARegularFile());
        return false;
    }
    const QString folder = QFileInfo(m_target).path();
    m_fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    // Some file systems cannot hold a file without a name.
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        m_fd = createTemporary(m_target, &m_temporaryName);
    if (m_fd < 0)
        return fail(error, errno);
    m_writer.attach(m_fd);
    return true;
}

bool FileReplacement::commit(QString *error)
{
    int reason = m_writer.failure();
    m_writer.close();
    if (reason == 0 && !finishInPlace())
        reason = errno;
    discard();
    return reason == 0 || fail(error, reason);
}

// Flushes and closes the file before it takes the target's place, checking
// both: delayed write errors (NFS, quotas) are reported there. An unnamed
// file is given a temporary name first, as closing it would lose it, and a
// link cannot take the place of an existing file where a rename can.
bool FileReplacement::finishInPlace()
{
    if ((m_keptMode && ::fchmod(m_fd, *m_keptMode) != 0) || ::fsync(m_fd) != 0)
        return false;
    if (m_temporaryName.isEmpty() && !nameUnnamedFile())
        return false;
    if (::close(std::exchange(m_fd, -1)) != 0)
        return false;
    if (::rename(QFile::encodeName(m_temporaryName).constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    m_temporaryName.clear();
    return true;
}

bool FileReplacement::nameUnnamedFile()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    QString name;
    int linked = 0;
    do {
        name = temporaryNameBeside(m_target);
        linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, QFile::encodeName(name).constData(),
                          AT_SYMLINK_FOLLOW);
    } while (linked != 0 && errno == EEXIST);
    if (linked != 0)
        return false;
    m_temporaryName = name;
    return true;
}

void FileReplacement::Writer::attach(int fd)
{
    m_fd = fd;
    m_failure = 0;
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FileReplacement::Writer::writeData(const char *data, qint64 size)
{
    if (m_failure == 0 && !writeAll(m_fd, data, size)) {
        m_failure = errno;
        setErrorString(qt_error_string(m_failure));
    }
    return m_failure == 0 ? size : -1;
}

void FileReplacement::discard()
{
    if (m_writer.isOpen())
        m_writer.close();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporaryName.isEmpty())
        ::unlink(QFile::encodeName(m_temporaryName).constData());
    m_temporaryName.clear();
}

QString replacementProblem(const QString &path)
{
    const QString target = linkTarget(path, LinkHandling::WriteThrough);
    if (!mayReplace(target))
        return notARegularFile();
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return qt_error_string(errno);
    return QString();
}

bool isSameFile(const QString &a, const QString &b)
{
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error, LinkHandling links)
{
    FileReplacement file(path, links);
    if (!file.open(error))
        return false;
    file.device().write(bytes);
    return file.commit(error);
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes, QString *error)
{
    const int fd = openRegular(path, error);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> bytes = readUpTo(fd, maxBytes);
    if (!bytes)
        fail(error, errno);
    ::close(fd);
    return bytes;
}

bool openRegularFile(const QString &path, QFile &file, QString *error)
{
    const int fd = openRegular(path, error);
    if (fd < 0)
        return false;
    // Reads wait for the data again, as they do on any file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        setError(error, file.errorString());
        ::close(fd);
        return false;
    }
    return true;
}

QByteArray openFileIdentity(const QFile &file)
{
    struct stat status = {};
    return ::fstat(file.handle(), &status) == 0 ? identityOf(status) : QByteArray();
}

void OwnedFiles::recordWritten(const QString &path)
{
    m_identities.insert(path, identityOf(path));
}

void OwnedFiles::removeUnchanged()
{
    for (auto file = m_identities.cbegin(); file != m_identities.cend(); ++file) {
        if (!file.value().isEmpty() && identityOf(file.key()) == file.value())
            QFile::remove(file.key());
    }
    m_identities.clear();
}

} // namespace Vorlane
