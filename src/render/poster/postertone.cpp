#include "render/poster/postertone.h"

#include "common/rounding.h"
#include "document/colour.h"
#include "render/poster/posteraccumulation.h"
#include "render/poster/rowthreads.h"

#include <QCoreApplication>

#include <cmath>

namespace Vorlane {

namespace {

// A pixel's mean colour and its opacity, each 0 to 1.
struct ToneValue
{
    double red;
    double green;
    double blue;
    double alpha;
};

class ToneCurve
{
public:
    ToneCurve(quint64 largestWeight, const PosterToneMapping &tone)
        : m_logOfLargest(std::log1p(double(largestWeight) / double(posterPointWeight)))
        , m_inverseGamma(1.0 / tone.gamma)
        , m_brightness(tone.brightness)
        , m_contrast(tone.contrast)
        , m_vibrancy(tone.vibrancy)
    {
    }

    ToneValue operator()(const PixelSums &pixel) const
    {
        if (pixel.weight == 0)
            return {0.0, 0.0, 0.0, 0.0};
        const double weight = double(pixel.weight);
        const double hits = weight / double(posterPointWeight);
        const double density = contrasted(std::log1p(m_brightness * hits) / m_logOfLargest);
        const double alpha = qMin(std::pow(density, m_inverseGamma), 1.0);
        const ToneValue mean{double(pixel.red) / weight / 255.0, double(pixel.green) / weight / 255.0,
                             double(pixel.blue) / weight / 255.0, alpha};
        if (m_vibrancy == 1.0)
            return mean;
        const double full = qMin(density, 1.0);
        return {vivid(mean.red, alpha, full), vivid(mean.green, alpha, full), vivid(mean.blue, alpha, full), alpha};
    }

private:
    // No stretch at all at 1, so that the curve is unchanged bit for bit.
    double contrasted(double density) const
    {
        return m_contrast == 1.0 ? density : qMax(0.0, 0.5 + (density - 0.5) * m_contrast);
    }

    // A component of a pixel of opacity alpha: the share vibrancy of its mean
    // colour, the rest the component's own density raised to 1 / gamma,
    // which never exceeds alpha; as a colour shown at alpha.
    double vivid(double colour, double alpha, double density) const
    {
        if (alpha <= 0.0)
            return colour;
        const double own = std::pow(colour * density, m_inverseGamma);
        return (m_vibrancy * colour * alpha + (1.0 - m_vibrancy) * own) / alpha;
    }

    double m_logOfLargest;
    double m_inverseGamma;
    double m_brightness;
    double m_contrast;
    double m_vibrancy;
};

quint16 component(double value, int largest)
{
    return quint16(cint32(qBound(0.0, value, 1.0) * largest));
}

double over(double colour, double alpha, double background)
{
    return colour * alpha + background * (1.0 - alpha);
}

// Writes the pixels of one row of a picture of the tone's format.
class PixelTones
{
public:
    PixelTones(const PosterToneMapping &tone, quint64 largestWeight)
        : m_curve(largestWeight, tone)
        , m_transparent(tone.transparent)
        , m_deep(tone.depth == 16)
        , m_background{colourRed(tone.backColour) / 255.0, colourGreen(tone.backColour) / 255.0,
                       colourBlue(tone.backColour) / 255.0, tone.transparent ? 0.0 : 1.0}
        , m_empty(rgba64(m_transparent ? ToneValue{0.0, 0.0, 0.0, 0.0} : m_background))
    {
    }

    void toneRow(const PixelSums *sums, uchar *line, int width) const
    {
        for (int x = 0; x < width; ++x)
            put(line, x, sums[x].weight == 0 ? m_empty : rgba64(toned(sums[x])));
    }

    // A row without sums, whose memory is better left untouched.
    void emptyRow(uchar *line, int width) const
    {
        for (int x = 0; x < width; ++x)
            put(line, x, m_empty);
    }

private:
    void put(uchar *line, int x, QRgba64 pixel) const
    {
        if (m_deep)
            reinterpret_cast<QRgba64 *>(line)[x] = pixel;
        else
            reinterpret_cast<QRgb *>(line)[x] = qRgba(pixel.red(), pixel.green(), pixel.blue(), pixel.alpha());
    }

    ToneValue toned(const PixelSums &sums) const
    {
        const ToneValue v = m_curve(sums);
        if (m_transparent)
            return v;
        return {over(v.red, v.alpha, m_background.red), over(v.green, v.alpha, m_background.green),
                over(v.blue, v.alpha, m_background.blue), 1.0};
    }

    // In 16 bits or, for 8-bit pictures, in the 8 bits of each 16-bit field.
    QRgba64 rgba64(const ToneValue &v) const
    {
        const int largest = m_deep ? 65535 : 255;
        return QRgba64::fromRgba64(component(v.red, largest), component(v.green, largest), component(v.blue, largest),
                                   component(v.alpha, largest));
    }

    ToneCurve m_curve;
    bool m_transparent;
    bool m_deep;
    ToneValue m_background;
    QRgba64 m_empty;
};

} // namespace

QImage blankPosterPicture(QSize size, const PosterToneMapping &tone, QString *error)
{
    const bool deep = tone.depth == 16;
    const QImage::Format format = deep ? (tone.transparent ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
                                       : (tone.transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QImage picture(size, format);
    if (picture.isNull())
        *error = QCoreApplication::translate("Poster", "There is not enough memory for a picture of %1 x %2 pixels.")
                     .arg(size.width())
                     .arg(size.height());
    return picture;
}

namespace {

// Rows first to first + count − 1 of the picture from their sums, or, where
// reached (from its entry reachedFirst on) says a row has none, from no
// memory at all.
void toneRows(QImage &picture, const PosterToneMapping &tone, quint64 largestWeight, int first, const PixelSums *sums,
              int count, const std::vector<bool> &reached, int reachedFirst)
{
    const PixelTones tones(tone, largestWeight);
    const int width = picture.width();
    // Every pixel depends on its own sums alone.
    shareRowsAmongThreads(count, [&](int y) {
        if (!reached[std::size_t(reachedFirst + y)])
            tones.emptyRow(picture.scanLine(first + y), width);
        else
            tones.toneRow(sums + qint64(y) * width, picture.scanLine(first + y), width);
    });
}

} // namespace

void tonePosterRows(QImage &picture, const PosterToneMapping &tone, quint64 largestWeight, int first,
                    const PixelSums *sums, int count, const std::vector<bool> &reached)
{
    toneRows(picture, tone, largestWeight, first, sums, count, reached, 0);
}

QImage posterPicture(const PosterAccumulation &sums, const PosterToneMapping &tone, QString *error,
                     const std::atomic<bool> *cancel)
{
    return posterPicture(sums, scannedReach(sums), tone, error, cancel);
}

QImage posterPicture(const PosterAccumulation &sums, const PosterReach &reach, const PosterToneMapping &tone,
                     QString *error, const std::atomic<bool> *cancel)
{
    QImage picture = blankPosterPicture(sums.size(), tone, error);
    // In bands, so that a cancel is seen within a fraction of a second
    // however large the poster.
    constexpr int bandRows = 256;
    for (int y = 0; !picture.isNull() && y < sums.size().height(); y += bandRows) {
        if (cancel && cancel->load())
            return QImage();
        toneRows(picture, tone, reach.largestWeight, y, sums.row(y), qMin(bandRows, sums.size().height() - y),
                 reach.rows, y);
    }
    return picture;
}

qint64 posterPictureBytes(QSize size, const PosterToneMapping &tone)
{
    return 2 * qint64(size.width()) * size.height() * (tone.depth == 16 ? 8 : 4);
}

} // namespace Vorlane
