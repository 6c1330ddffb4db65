#include "render/picturefile/bitmapfile.h"

#include "render/picturefile/parallelpng.h"

#include <QBuffer>
#include <QImageWriter>

namespace Vorlane {

namespace {

// Pictures this large, posters in practice, are compressed on every core.
constexpr qint64 parallelPngPixels = qint64(1) << 22;

bool compressesInParallel(const QImage &image, const QByteArray &format)
{
    return format == "PNG" && qint64(image.width()) * image.height() >= parallelPngPixels
           && encodesPngInParallel(image.format());
}

// The picture's bytes in memory: an encoder whose writes fail leaks what it
// holds, so the file only ever sees plain writes of finished bytes.
QByteArray encodedPicture(const QImage &image, const QByteArray &format)
{
    if (compressesInParallel(image, format))
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

bool encodePicture(const QImage &image, const QByteArray &format, QIODevice &to, QString *error,
                   const std::atomic<bool> *cancel)
{
    const QByteArray bytes = encodedPicture(image, format);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The picture could not be encoded");
        return false;
    }
    // In pieces, so that a cancel is seen within a fraction of a second.
    constexpr qsizetype pieceBytes = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += pieceBytes) {
        const qsizetype size = qMin(pieceBytes, bytes.size() - at);
        if ((cancel && cancel->load()) || to.write(bytes.constData() + at, size) != size)
            return false;
    }
    return true;
}

bool writePictureFile(const QImage &image, const QString &path, QString *error, LinkHandling links)
{
    FileReplacement file(path, links);
    if (!file.open(error))
        return false;
    if (encodePicture(image, pictureFormatFor(path), file.device(), error))
        return file.commit(error);
    if (error && !file.writeError().isEmpty())
        *error = file.writeError();
    return false;
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
