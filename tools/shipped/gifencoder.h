#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace Vorlane {

struct GifFrame
{
    QImage image;
    int delayCentiseconds = 10;
};

// An animated GIF of the frames, which must all have the size of the first,
// looping forever. Each frame covers the whole picture. Up to 256 colours
// are kept exactly; pictures with more are reduced to a 6 × 7 × 6 colour cube.
QByteArray encodeAnimatedGif(const QList<GifFrame> &frames);

} // namespace Vorlane
