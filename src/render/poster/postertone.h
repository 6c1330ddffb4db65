#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace Vorlane {

class PosterAccumulation;
struct PixelSums;
struct PosterReach;

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
// The same picture from sums whose reach is known: the rows not reached are
// background without their sums being read.
QImage posterPicture(const PosterAccumulation &sums, const PosterReach &reach, const PosterToneMapping &tone,
                     QString *error);

// For pictures made a band of sums at a time: a picture of size in the
// tone's format (a null one with error set when its memory cannot be had),
// and the toning of count rows of sums, one after the other, into it from
// row first, given the weight of the whole poster's densest pixel.
QImage blankPosterPicture(QSize size, const PosterToneMapping &tone, QString *error);
void tonePosterRows(QImage &picture, const PosterToneMapping &tone, quint64 largestWeight, int first,
                    const PixelSums *sums, int count);

} // namespace Vorlane
