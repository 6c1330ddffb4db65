#include "render/picturefile/bitmapfile.h"

#include "render/picturefile/parallelpng.h"

#include <QImageWriter>

namespace Vorlane {

namespace {

// Passes writes on to another device until cancel is set, then fails them,
// which makes the picture writer give up at once.
class CancellableDevice : public QIODevice
{
public:
    CancellableDevice(QIODevice &to, const std::atomic<bool> *cancel)
        : m_to(to)
        , m_cancel(cancel)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        return m_cancel && m_cancel->load() ? -1 : m_to.write(data, size);
    }

private:
    QIODevice &m_to;
    const std::atomic<bool> *m_cancel;
};

// Pictures this large, posters in practice, are compressed on every core.
constexpr qint64 parallelPngPixels = qint64(1) << 22;

bool compressesInParallel(const QImage &image, const QByteArray &format)
{
    return format == "PNG" && qint64(image.width()) * image.height() >= parallelPngPixels
           && encodesPngInParallel(image.format());
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
    CancellableDevice device(to, cancel);
    if (compressesInParallel(image, format)) {
        const QByteArray bytes = encodePngInParallel(image);
        if (device.write(bytes) == bytes.size())
            return true;
    } else {
        QImageWriter writer(&device, format);
        if (writer.write(format == "BMP" ? image.convertToFormat(QImage::Format_RGB888) : image))
            return true;
    }
    if (error)
        *error = QStringLiteral("The picture could not be encoded");
    return false;
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
