#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <vector>

namespace Vorlane {

class PosterAccumulation;
struct PixelSums;
struct PosterReach;

// How a poster's sums become a picture.
struct PosterToneMapping
{
    // A pixel's density is log(1 + brightness × hits) / log(1 + hits of the
    // densest pixel); contrast stretches it around 1/2 (none below 0); its
    // opacity is the density raised to 1 / gamma, at most 1. Brightness above
    // 1 lifts the faint pixels most and takes the densest to full strength.
    double gamma = 2.2;
    // Over transparency instead of the background colour.
    bool transparent = false;
    // Bits per colour component: 8 or 16.
    int depth = 8;
    qint32 backColour = 0; // red + 256 × green + 65536 × blue
    double brightness = 1.0;
    double contrast = 1.0;
    // How much of the colour follows the density's gamma alone, keeping its
    // hue (1), rather than each component's own (0), which pales faint
    // pixels' colours towards grey and lightens them.
    double vibrancy = 1.0;

    bool operator==(const PosterToneMapping &) const = default;
};

// The picture of the sums: each pixel the mean colour of the points it
// gathered, as bright as its density says, over the background colour or
// over transparency. A null image with error set when the picture's memory
// cannot be had; a null image without error when cancel was set meanwhile.
QImage posterPicture(const PosterAccumulation &sums, const PosterToneMapping &tone, QString *error,
                     const std::atomic<bool> *cancel = nullptr);
// The same picture from sums whose reach is known: the rows not reached are
// background without their sums being read.
QImage posterPicture(const PosterAccumulation &sums, const PosterReach &reach, const PosterToneMapping &tone,
                     QString *error, const std::atomic<bool> *cancel = nullptr);

// The memory a picture of size in the tone's format takes, and as much again
// for the picture writer, which may convert it before it encodes.
qint64 posterPictureBytes(QSize size, const PosterToneMapping &tone);

// For pictures made a band of sums at a time: a picture of size in the
// tone's format (a null one with error set when its memory cannot be had),
// and the toning of count rows of sums, one after the other, into it from
// row first, given the weight of the whole poster's densest pixel; a row
// whose entry in reached (0 for row first) is false is background, its sums
// not read.
QImage blankPosterPicture(QSize size, const PosterToneMapping &tone, QString *error);
void tonePosterRows(QImage &picture, const PosterToneMapping &tone, quint64 largestWeight, int first,
                    const PixelSums *sums, int count, const std::vector<bool> &reached);

} // namespace Vorlane
