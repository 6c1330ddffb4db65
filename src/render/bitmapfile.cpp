#include "bitmapfile.h"

#include <QImageWriter>
#include <QSaveFile>

namespace Vorlane {

bool writeBitmapFile(const QImage &image, const QString &path, QString *error)
{
    QSaveFile file(path);
    QImageWriter writer(&file, "BMP");
    QString problem;
    if (!file.open(QIODevice::WriteOnly))
        problem = file.errorString();
    else if (!writer.write(image.convertToFormat(QImage::Format_RGB888)))
        problem = writer.errorString();
    else if (!file.commit())
        problem = file.errorString();
    else
        return true;
    if (error)
        *error = problem;
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
