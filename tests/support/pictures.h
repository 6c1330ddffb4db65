#pragma once

#include "render/rastercanvas.h"

#include <QImage>
#include <QString>

namespace Vorlane {

// A bitmap file as 32-bit pixels; a null image when it cannot be read.
inline QImage readBitmap(const QString &path)
{
    return QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
}

// True when every pixel of image has colour, red + 256 × green + 65536 × blue.
inline bool isFilledWith(const QImage &image, qint32 colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (RasterCanvas::fromRgb(image.pixel(x, y)) != colour)
                return false;
        }
    }
    return true;
}

} // namespace Vorlane
