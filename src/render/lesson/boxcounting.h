#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace Vorlane {

// How many boxes of a size, in pixels, hold a drawn pixel.
struct BoxCount
{
    int size;
    qint64 boxes;
};

// The box-counting dimension of a picture: the slope of log N(s) against
// log(1 / s), N(s) being the number of s × s boxes of a grid that hold a
// pixel not in the background colour, fitted by least squares over the box
// sizes from firstFitted to lastFitted of counts (powers of two).
struct BoxCountingResult
{
    QList<BoxCount> counts; // from 1 pixel up
    int firstFitted = 0;
    int lastFitted = -1;
    double dimension = 0.0;
    double intercept = 0.0; // of the fitted line, log N = intercept + dimension × log(1 / s)

    bool valid() const { return lastFitted - firstFitted >= 2; }
};

// Counts boxes of 1, 2, 4, ... pixels up to the drawn part's extent and fits
// the sizes from 2 pixels (single pixels show a drawing's gaps, not the
// fractal's) to an eighth of the extent (larger boxes see the outline). Not
// valid when fewer than three sizes remain: a picture too small or empty.
BoxCountingResult boxCountingDimension(const QImage &picture, QRgb background);

} // namespace Vorlane
