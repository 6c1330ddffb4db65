#include "render/poster/posterpalette.h"

#include "common/rounding.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/chaos/pointcolour.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace Vorlane {

namespace {

constexpr qint64 largestGradientFile = 64 * 1024;
constexpr int gradientSize = int(std::tuple_size_v<PosterGradient>);

QString tr(const char *text)
{
    return QCoreApplication::translate("Poster", text);
}

struct Lab
{
    double lightness;
    double a;
    double b;
};

double linearFromSrgb(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double srgbFromLinear(double value)
{
    return value <= 0.0031308 ? value * 12.92 : 1.055 * std::pow(value, 1.0 / 2.4) - 0.055;
}

Lab oklabFromColour(qint32 colour)
{
    const double r = linearFromSrgb(colourRed(colour) / 255.0);
    const double g = linearFromSrgb(colourGreen(colour) / 255.0);
    const double b = linearFromSrgb(colourBlue(colour) / 255.0);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

int component(double linear)
{
    return int(cint32(qBound(0.0, srgbFromLinear(qBound(0.0, linear, 1.0)), 1.0) * 255.0));
}

qint32 colourFromOklab(const Lab &lab)
{
    const double l = std::pow(lab.lightness + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3.0);
    const double m = std::pow(lab.lightness - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3.0);
    const double s = std::pow(lab.lightness - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3.0);
    return rgbColour(component(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
                     component(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
                     component(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s));
}

struct BuiltInPalette
{
    const char *name;
    const char *caption;
    std::initializer_list<const char *> stops;
};

// Ours, each a few stops chosen to stay visible on dark and light paper.
const BuiltInPalette builtInPalettes[] = {
    {"sunset", QT_TRANSLATE_NOOP("Poster", "Sunset"), {"#2b1055", "#7b2cbf", "#e0457b", "#ff8c42", "#ffd166"}},
    {"ocean", QT_TRANSLATE_NOOP("Poster", "Ocean"), {"#03045e", "#0077b6", "#00b4d8", "#90e0ef", "#caf0f8"}},
    {"aurora", QT_TRANSLATE_NOOP("Poster", "Aurora"), {"#0b3d2e", "#1b998b", "#2de1c2", "#a9f0d1", "#c77dff"}},
    {"ember", QT_TRANSLATE_NOOP("Poster", "Ember"), {"#3d0c02", "#9d0208", "#dc2f02", "#f48c06", "#ffba08"}},
    {"forest", QT_TRANSLATE_NOOP("Poster", "Forest"), {"#1b4332", "#2d6a4f", "#52b788", "#b7e4c7", "#e9f5db"}},
    {"ice", QT_TRANSLATE_NOOP("Poster", "Ice"), {"#0d1b2a", "#415a77", "#778da9", "#bde0fe", "#ffffff"}},
    {"violet", QT_TRANSLATE_NOOP("Poster", "Violet"), {"#240046", "#5a189a", "#9d4edd", "#e0aaff", "#fff0ff"}},
    {"gold", QT_TRANSLATE_NOOP("Poster", "Gold"), {"#3e2723", "#8d6e63", "#c9a227", "#f4d35e", "#fff8dc"}},
    {"rainbow", QT_TRANSLATE_NOOP("Poster", "Rainbow"),
     {"#e6194b", "#f58231", "#ffe119", "#3cb44b", "#4363d8", "#911eb4"}},
    {"candy", QT_TRANSLATE_NOOP("Poster", "Candy"), {"#ff6b9d", "#ffc0cb", "#a0e7e5", "#b4f8c8", "#fbe7c6"}},
    {"peacock", QT_TRANSLATE_NOOP("Poster", "Peacock"), {"#004e64", "#00a5cf", "#25a18e", "#7ae582", "#f9c80e"}},
    {"nightfire", QT_TRANSLATE_NOOP("Poster", "Nightfire"),
     {"#1a0630", "#3b0f70", "#8c2981", "#de4968", "#fe9f6d", "#fcfdbf"}},
    {"steel", QT_TRANSLATE_NOOP("Poster", "Steel"), {"#2a2a2a", "#4a5859", "#8e9aaf", "#cbc0d3", "#efd3d7"}},
    {"citrus", QT_TRANSLATE_NOOP("Poster", "Citrus"), {"#2d6a4f", "#80b918", "#d4d700", "#ffdd00", "#ff9500"}},
};

// A colour as "#RRGGBB" or "R G B"; none when the text is neither.
std::optional<qint32> colourFromText(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{6})$"));
    static const QRegularExpression triple(QStringLiteral("^(\\d{1,3})\\s+(\\d{1,3})\\s+(\\d{1,3})$"));
    if (const QRegularExpressionMatch match = hex.match(text); match.hasMatch()) {
        const int rgb = match.captured(1).toInt(nullptr, 16);
        return rgbColour(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
    }
    const QRegularExpressionMatch match = triple.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int red = match.captured(1).toInt();
    const int green = match.captured(2).toInt();
    const int blue = match.captured(3).toInt();
    if (red > 255 || green > 255 || blue > 255)
        return std::nullopt;
    return rgbColour(red, green, blue);
}

QList<qint32> stopsOf(const BuiltInPalette &palette)
{
    QList<qint32> stops;
    for (const char *stop : palette.stops)
        stops.append(*colourFromText(QLatin1String(stop)));
    return stops;
}

} // namespace

QString documentColoursName()
{
    return QStringLiteral("document");
}

PosterGradient documentGradient(const FractalDocument &document)
{
    PosterGradient gradient;
    for (int i = 0; i < gradientSize; ++i)
        gradient[i] = blendColours(document.colours.colour1, document.colours.colour2,
                                   toSingle(double(i) / double(gradientSize - 1)));
    return gradient;
}

PosterGradient gradientFor(const PosterPalette &palette, const FractalDocument &document)
{
    return palette.gradient.value_or(documentGradient(document));
}

PosterGradient gradientThroughStops(const QList<qint32> &stops)
{
    Q_ASSERT(stops.size() >= 2);
    PosterGradient gradient;
    const int spans = int(stops.size()) - 1;
    for (int i = 0; i < gradientSize; ++i) {
        const double at = double(i) * spans / double(gradientSize - 1);
        const int span = qMin(int(floorToInt(at)), spans - 1);
        const double t = at - span;
        const Lab from = oklabFromColour(stops[span]);
        const Lab to = oklabFromColour(stops[span + 1]);
        gradient[i] = colourFromOklab({from.lightness + (to.lightness - from.lightness) * t,
                                       from.a + (to.a - from.a) * t, from.b + (to.b - from.b) * t});
    }
    return gradient;
}

QList<PaletteName> posterPaletteNames()
{
    QList<PaletteName> names{{documentColoursName(), tr("Document colours")}};
    for (const BuiltInPalette &palette : builtInPalettes)
        names.append({QLatin1String(palette.name), tr(palette.caption)});
    return names;
}

std::optional<PosterGradient> parseGradientText(const QByteArray &text, QString *error)
{
    QList<qint32> colours;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("//")))
            continue;
        const std::optional<qint32> colour = colourFromText(line);
        if (!colour) {
            *error = tr("line %1 is not a colour (#RRGGBB, or R G B from 0 to 255): '%2'").arg(i + 1).arg(line.left(40));
            return std::nullopt;
        }
        if (colours.size() == gradientSize) {
            *error = tr("it has more than %1 colours").arg(gradientSize);
            return std::nullopt;
        }
        colours.append(*colour);
    }
    if (colours.size() < 2) {
        *error = tr("it needs at least 2 colours, one a line");
        return std::nullopt;
    }
    if (colours.size() < gradientSize)
        return gradientThroughStops(colours);
    PosterGradient gradient;
    std::copy(colours.cbegin(), colours.cend(), gradient.begin());
    return gradient;
}

std::optional<PosterPalette> findPosterPalette(const QString &nameOrFile, QString *error)
{
    if (nameOrFile == documentColoursName())
        return PosterPalette{nameOrFile, std::nullopt};
    for (const BuiltInPalette &palette : builtInPalettes) {
        if (nameOrFile == QLatin1String(palette.name))
            return PosterPalette{nameOrFile, gradientThroughStops(stopsOf(palette))};
    }
    QFile file(nameOrFile);
    if (!file.exists()) {
        *error = tr("'%1' is neither a palette (see --list-palettes) nor a gradient file").arg(nameOrFile);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("the gradient file '%1' cannot be read: %2").arg(nameOrFile, file.errorString());
        return std::nullopt;
    }
    const QByteArray text = file.read(largestGradientFile + 1);
    if (text.size() > largestGradientFile) {
        *error = tr("the gradient file '%1' is larger than %2 KB").arg(nameOrFile).arg(largestGradientFile / 1024);
        return std::nullopt;
    }
    QString reason;
    const std::optional<PosterGradient> gradient = parseGradientText(text, &reason);
    if (!gradient) {
        *error = tr("the gradient file '%1' cannot be used: %2").arg(nameOrFile, reason);
        return std::nullopt;
    }
    return PosterPalette{nameOrFile, gradient};
}

} // namespace Vorlane
