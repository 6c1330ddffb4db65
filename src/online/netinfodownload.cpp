#include "netinfodownload.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace Vorlane {

namespace {

// Writes the whole file afresh: a shorter body must not leave the tail of an
// earlier, longer one behind it.
bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readWholeFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(maxBytes);
}

} // namespace

bool isUsablePicture(const QString &path)
{
    if (QFileInfo(path).size() < minPictureBytes)
        return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format() == "gif" && !reader.read().isNull();
}

NetInfoDownload::NetInfoDownload(const QString &appDir, FetchBody fetch)
    : m_fetch(std::move(fetch))
    , m_netInfo(appDir + QLatin1String("vornet.dat"))
    , m_netInfoBackup(appDir + QLatin1String("vornet1.dat"))
    , m_picture(appDir + QLatin1String("vornad.gif"))
    , m_pictureBackup(appDir + QLatin1String("vornad1.gif"))
{
}

bool NetInfoDownload::fetchNetInfo(const std::array<QString, NetInfo::sourceCount> &sources,
                                   const std::function<void(int attempt)> &onAttempt)
{
    QFile::rename(m_netInfo, m_netInfoBackup);
    for (int attempt = 1; attempt <= NetInfo::sourceCount; ++attempt) {
        onAttempt(attempt);
        if (tryNetInfoSource(sources[attempt - 1]))
            return true;
    }
    return false;
}

bool NetInfoDownload::tryNetInfoSource(const QString &address)
{
    if (address.isEmpty())
        return false;
    const std::optional<QByteArray> body = m_fetch(address, maxNetInfoBytes);
    if (!body || !writeWholeFile(m_netInfo, *body))
        return false;
    return isValidNetInfoFile(readWholeFile(m_netInfo, maxNetInfoBytes));
}

void NetInfoDownload::restoreNetInfo()
{
    QFile::remove(m_netInfo);
    QFile::rename(m_netInfoBackup, m_netInfo);
}

void NetInfoDownload::dropNetInfoBackup()
{
    QFile::remove(m_netInfoBackup);
}

void NetInfoDownload::replacePicture(const QString &address)
{
    QFile::rename(m_picture, m_pictureBackup);
    if (const std::optional<QByteArray> body = m_fetch(address, maxPictureBytes))
        writeWholeFile(m_picture, *body);
    if (isUsablePicture(m_picture)) {
        QFile::remove(m_pictureBackup);
    } else {
        QFile::remove(m_picture);
        QFile::rename(m_pictureBackup, m_picture);
    }
}

} // namespace Vorlane
