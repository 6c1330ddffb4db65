#include "common/filestore.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Fills the temporary file and closes it: 0, or the system's error number.
int fillTemporary(int fd, const QByteArray &bytes, const std::optional<mode_t> &keptMode)
{
    int reason = 0;
    if (!writeAll(fd, bytes) || (keptMode && ::fchmod(fd, *keptMode) != 0) || ::fsync(fd) != 0)
        reason = errno;
    if (::close(fd) != 0 && reason == 0)
        reason = errno;
    return reason;
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

QByteArray identityOf(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QByteArray();
    return QByteArray::number(quint64(status.st_dev)) + ':' + QByteArray::number(quint64(status.st_ino)) + ':'
        + QByteArray::number(qint64(status.st_size)) + ':' + QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qint64(status.st_mtim.tv_nsec));
}

} // namespace

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error, LinkHandling links)
{
    const QString target = linkTarget(path, links);
    const QByteArray targetName = QFile::encodeName(target);
    std::optional<mode_t> keptMode;
    struct stat status = {};
    if (::lstat(targetName.constData(), &status) == 0) {
        if (S_ISREG(status.st_mode))
            keptMode = status.st_mode & 07777;
        else if (!S_ISLNK(status.st_mode)) {
            setError(error, notARegularFile());
            return false;
        }
    }
    QString temporary;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return fail(error, errno);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    int reason = fillTemporary(fd, bytes, keptMode);
    if (reason == 0 && ::rename(temporaryName.constData(), targetName.constData()) != 0)
        reason = errno;
    if (reason == 0)
        return true;
    ::unlink(temporaryName.constData());
    return fail(error, reason);
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes, QString *error)
{
    // Opening without delay keeps a FIFO without a writer from blocking us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(error, errno);
        return std::nullopt;
    }
    std::optional<QByteArray> bytes;
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        fail(error, errno);
    else if (!S_ISREG(status.st_mode))
        setError(error, notARegularFile());
    else if (!(bytes = readUpTo(fd, maxBytes)))
        fail(error, errno);
    ::close(fd);
    return bytes;
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
