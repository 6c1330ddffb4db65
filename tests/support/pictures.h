#pragma once

#include "render/exact/rastercanvas.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace Vorlane {

// A bitmap file as 32-bit pixels; a null image when it cannot be read.
inline QImage readBitmap(const QString &path)
{
    return QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
}

// A picture of size filled with colour, as a fresh canvas is.
inline QImage filledImage(QSize size, qint32 colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(RasterCanvas::toRgb(colour));
    return image;
}

// The colour of pixel (x, y), red + 256 × green + 65536 × blue.
inline qint32 colourAt(const QImage &image, int x, int y)
{
    return RasterCanvas::fromRgb(image.pixel(x, y));
}

// The colour of pixel (x, y) of what the canvas keeps.
inline qint32 colourAt(const RasterCanvas &canvas, int x, int y)
{
    return colourAt(canvas.persistentImage(), x, y);
}

// True when every pixel of image has colour.
inline bool isFilledWith(const QImage &image, qint32 colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (colourAt(image, x, y) != colour)
                return false;
        }
    }
    return true;
}

} // namespace Vorlane
