#pragma once

#include <QtGlobal>

namespace Vorlane {

// Colours are 24-bit RGB packed as red + 256 × green + 65536 × blue in a
// 32-bit signed integer, the top byte 0.
constexpr qint32 rgbColour(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

constexpr qint32 colourRed(qint32 colour)
{
    return colour & 255;
}

constexpr qint32 colourGreen(qint32 colour)
{
    return (colour & 65280) / 256;
}

constexpr qint32 colourBlue(qint32 colour)
{
    return (colour & 16711680) / 65536;
}

} // namespace Vorlane
