#include "netinfo/netinfodownload.h"

#include "common/filestore.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace Vorlane {

bool isPlayablePicture(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (reader.format() != "gif")
        return false;
    const qint64 framePixels = qint64(reader.size().width()) * reader.size().height();
    return framePixels > 0 && framePixels <= maxPictureFramePixels
        && qint64(qMax(1, reader.imageCount())) * framePixels <= maxPictureLoopPixels;
}

bool isUsablePicture(const QByteArray &bytes)
{
    return bytes.size() >= minPictureBytes && isPlayablePicture(bytes) && !QImage::fromData(bytes, "GIF").isNull();
}

NetInfoDownload::NetInfoDownload(const QString &appDir, FetchBody fetch)
    : m_fetch(std::move(fetch))
    , m_netInfo(appDir + QLatin1String("vornet.dat"))
    , m_netInfoBackup(appDir + QLatin1String("vornet1.dat"))
    , m_picture(appDir + QLatin1String("vornad.gif"))
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
    return body && isValidNetInfoFile(*body) && replaceFile(m_netInfo, *body);
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
    // The old picture is replaced only by a whole, usable one, so it needs
    // no backup.
    const std::optional<QByteArray> body = m_fetch(address, maxPictureBytes);
    if (body && isUsablePicture(*body))
        replaceFile(m_picture, *body);
}

} // namespace Vorlane
