#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace Vorlane {

class PosterAccumulation;

// How a poster's sums become a picture.
struct PosterToneMapping
{
    // Brightness is log(1 + hits) / log(1 + hits of the densest pixel),
    // raised to 1 / gamma.
    double gamma = 2.2;
    // Over transparency instead of the background colour.
    bool transparent = false;
    // Bits per colour component: 8 or 16.
    int depth = 8;
    qint32 backColour = 0; // red + 256 × green + 65536 × blue

    bool operator==(const PosterToneMapping &) const = default;
};

// The picture of the sums: each pixel the mean colour of the points it
// gathered, as bright as its density says, over the background colour or
// over transparency. A null image with error set when the picture's memory
// cannot be had.
QImage posterPicture(const PosterAccumulation &sums, const PosterToneMapping &tone, QString *error);

} // namespace Vorlane
