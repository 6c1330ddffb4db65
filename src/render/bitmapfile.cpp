#include "bitmapfile.h"

#include <QImageWriter>

namespace Vorlane {

bool writeBitmapFile(const QImage &image, const QString &path, QString *error)
{
    QImageWriter writer(path, "BMP");
    if (writer.write(image.convertToFormat(QImage::Format_RGB888)))
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}

HandOverBitmap::HandOverBitmap(QString path)
    : m_path(std::move(path))
{
}

void HandOverBitmap::store(const QImage &image)
{
    m_memory = image;
    m_fileWritten = writeBitmapFile(image, m_path);
}

QImage HandOverBitmap::load() const
{
    if (m_fileWritten) {
        const QImage fromFile(m_path, "BMP");
        if (!fromFile.isNull())
            return fromFile.convertToFormat(QImage::Format_RGB32);
    }
    return m_memory;
}

} // namespace Vorlane
