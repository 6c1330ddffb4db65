#include "render/picturefile/bitmapfile.h"

#include "render/picturefile/parallelpng.h"

#include <QBuffer>
#include <QImageWriter>

namespace Vorlane {

namespace {

// Pictures this large, posters in practice, are compressed on every core.
constexpr qint64 parallelPngPixels = qint64(1) << 22;

QByteArray encodePicture(const QImage &image, const QByteArray &format)
{
    if (format == "PNG" && qint64(image.width()) * image.height() >= parallelPngPixels
        && encodesPngInParallel(image.format()))
        return encodePngInParallel(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(format == "BMP" ? image.convertToFormat(QImage::Format_RGB888) : image);
    return bytes;
}

} // namespace

QByteArray pictureFormatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? QByteArrayLiteral("PNG")
                                                                      : QByteArrayLiteral("BMP");
}

bool writePictureFile(const QImage &image, const QString &path, QString *error, LinkHandling links)
{
    const QByteArray bytes = encodePicture(image, pictureFormatFor(path));
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The picture could not be encoded");
        return false;
    }
    return replaceFile(path, bytes, error, links);
}

QString suggestedBitmapName(const QString &documentPath)
{
    constexpr int extensionLength = 3;
    if (documentPath.isEmpty())
        return QString();
    if (documentPath.size() < extensionLength)
        return documentPath + QLatin1String(".bmp");
    return documentPath.chopped(extensionLength) + QLatin1String("bmp");
}

HandOverBitmap::HandOverBitmap(QString path, OwnedFiles *owner)
    : m_path(std::move(path))
    , m_owner(owner)
{
}

void HandOverBitmap::store(const QImage &image)
{
    m_memory = image;
    if (writePictureFile(image, m_path, nullptr, LinkHandling::ReplaceLink) && m_owner)
        m_owner->recordWritten(m_path);
}

} // namespace Vorlane
