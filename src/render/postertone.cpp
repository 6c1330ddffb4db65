#include "postertone.h"

#include "common/rounding.h"
#include "document/colour.h"
#include "posteraccumulation.h"

#include <QCoreApplication>
#include <QSaveFile>

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
    ToneCurve(quint64 largestWeight, double gamma)
        : m_logOfLargest(std::log1p(double(largestWeight) / double(posterPointWeight)))
        , m_inverseGamma(1.0 / gamma)
    {
    }

    ToneValue operator()(const PixelSums &pixel) const
    {
        if (pixel.weight == 0)
            return {0.0, 0.0, 0.0, 0.0};
        const double weight = double(pixel.weight);
        const double hits = weight / double(posterPointWeight);
        const double alpha = std::pow(std::log1p(hits) / m_logOfLargest, m_inverseGamma);
        return {double(pixel.red) / weight / 255.0, double(pixel.green) / weight / 255.0,
                double(pixel.blue) / weight / 255.0, qMin(alpha, 1.0)};
    }

private:
    double m_logOfLargest;
    double m_inverseGamma;
};

quint16 component(double value, int largest)
{
    return quint16(cint32(qBound(0.0, value, 1.0) * largest));
}

double over(double colour, double alpha, double background)
{
    return colour * alpha + background * (1.0 - alpha);
}

} // namespace

QImage posterPicture(const PosterAccumulation &sums, const PosterToneMapping &tone, QString *error)
{
    const bool deep = tone.depth == 16;
    const QImage::Format format = deep ? (tone.transparent ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
                                       : (tone.transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QImage picture(sums.size(), format);
    if (picture.isNull()) {
        *error = QCoreApplication::translate("Poster", "There is not enough memory for a picture of %1 x %2 pixels.")
                     .arg(sums.size().width())
                     .arg(sums.size().height());
        return picture;
    }
    const ToneCurve curve(sums.largestWeight(), tone.gamma);
    const double backRed = colourRed(tone.backColour) / 255.0;
    const double backGreen = colourGreen(tone.backColour) / 255.0;
    const double backBlue = colourBlue(tone.backColour) / 255.0;
    const int largest = deep ? 65535 : 255;
    for (int y = 0; y < picture.height(); ++y) {
        const PixelSums *line = sums.row(y);
        auto *deepLine = reinterpret_cast<QRgba64 *>(picture.scanLine(y));
        auto *line8 = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            ToneValue v = curve(line[x]);
            if (!tone.transparent)
                v = {over(v.red, v.alpha, backRed), over(v.green, v.alpha, backGreen), over(v.blue, v.alpha, backBlue),
                     1.0};
            const quint16 r = component(v.red, largest);
            const quint16 g = component(v.green, largest);
            const quint16 b = component(v.blue, largest);
            const quint16 a = component(v.alpha, largest);
            if (deep)
                deepLine[x] = QRgba64::fromRgba64(r, g, b, a);
            else
                line8[x] = qRgba(r, g, b, a);
        }
    }
    return picture;
}

bool writePngFile(const QImage &picture, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!picture.save(&file, "PNG")) {
        *error = file.error() != QFileDevice::NoError
                     ? file.errorString()
                     : QCoreApplication::translate("Poster", "the picture could not be encoded as PNG");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Vorlane
