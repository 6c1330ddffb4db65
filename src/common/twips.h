#pragma once

#include <QRect>
#include <QSize>

// Window geometry is designed in twips, 1/1440 inch: 15 twips to a logical
// pixel at 96 dots per inch.
namespace Vorlane {

constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / twipsPerPixel;
}

inline QRect twipsToPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * twipsPerPixel;
}

inline QSize pixelsToTwips(const QSize &pixels)
{
    return QSize(pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height()));
}

} // namespace Vorlane
