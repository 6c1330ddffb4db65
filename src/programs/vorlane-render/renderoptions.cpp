#include "programs/vorlane-render/renderoptions.h"

#include "render/picturefile/bitmapfile.h"
#include "render/exact/documentpicture.h"
#include "render/poster/poster.h"
#include "render/poster/posterpart.h"
#include "render/lesson/levels.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <functional>
#include <limits>
#include <thread>

namespace Vorlane {

namespace {

constexpr int largestSide = 16384;
constexpr int mostThreads = 1024;
constexpr qint64 mostPosterPoints = qint64(1e15);

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Picture to write, .png or .bmp."), QStringLiteral("file")};
    QCommandLineOption width{QStringLiteral("width"), QStringLiteral("Picture width in pixels."), QStringLiteral("px")};
    QCommandLineOption height{QStringLiteral("height"), QStringLiteral("Picture height in pixels."),
                              QStringLiteral("px")};
    QCommandLineOption points{QStringLiteral("points"), QStringLiteral("Number of points to plot."),
                              QStringLiteral("n")};
    QCommandLineOption resolution{QStringLiteral("resolution"),
                                  QStringLiteral("Iterations between restarts from the base field (1 to 32767)."),
                                  QStringLiteral("n")};
    QCommandLineOption centre{QStringLiteral("centre"),
                              QStringLiteral("View centre in canvas units (15 to a pixel), as X,Y."),
                              QStringLiteral("x,y")};
    QCommandLineOption seed{QStringLiteral("seed"), QStringLiteral("Seed of the random sequence (the program's is 5489)."),
                            QStringLiteral("n")};
    QCommandLineOption threads{QStringLiteral("threads"),
                               QStringLiteral("Threads to render on (0, the default: one for every core; more "
                                              "than the cores count as one for every core, which is all that "
                                              "pays). The picture is the same with any number."),
                               QStringLiteral("n")};
    QCommandLineOption mode{QStringLiteral("mode"), QStringLiteral("exact (the default), poster or levels."),
                            QStringLiteral("mode")};
    QCommandLineOption level{QStringLiteral("level"),
                             QStringLiteral("Levels: the number of maps composed, 0 (the base field) to 20."),
                             QStringLiteral("k")};
    QCommandLineOption info{QStringLiteral("info"),
                            QStringLiteral("Print the maps, their weights and the fractal's dimensions; no -o.")};
    QCommandLineOption zoom{QStringLiteral("zoom"), QStringLiteral("Poster: magnifies the fitted view (default 1)."),
                            QStringLiteral("f")};
    QCommandLineOption gamma{QStringLiteral("gamma"), QStringLiteral("Poster: brightness gamma (default 2.2)."),
                             QStringLiteral("g")};
    QCommandLineOption brightness{QStringLiteral("brightness"),
                                  QStringLiteral("Poster: multiplies every pixel's points before the log (default "
                                                 "1); above 1 lifts faint pixels, the densest reach full colour."),
                                  QStringLiteral("b")};
    QCommandLineOption contrast{QStringLiteral("contrast"),
                                QStringLiteral("Poster: stretches the log density around its middle (default 1)."),
                                QStringLiteral("c")};
    QCommandLineOption vibrancy{QStringLiteral("vibrancy"),
                                QStringLiteral("Poster: 1 (the default) applies gamma to the density only, keeping "
                                               "hues; 0 to each colour component, paling faint colours; or between."),
                                QStringLiteral("v")};
    QCommandLineOption palette{QStringLiteral("palette"),
                               QStringLiteral("Poster: a gradient by name (see --list-palettes; document, the "
                                              "default, is colour 1 to colour 2) or a gradient file: one colour a "
                                              "line, #RRGGBB or R G B, 2 to 256 of them, // for comments."),
                               QStringLiteral("name|file")};
    QCommandLineOption colourBy{QStringLiteral("colour-by"),
                                QStringLiteral("Poster: document (the default) colours points by the document's "
                                               "colour style, its blend through the palette; map moves each point's "
                                               "place on the palette halfway to its map's at every step."),
                                QStringLiteral("map|document")};
    QCommandLineOption skip{QStringLiteral("skip"),
                            QStringLiteral("Poster: leaves out the first N points after each restart from the base "
                                           "field (default 0), which hides the base field and its first images."),
                            QStringLiteral("n")};
    QCommandLineOption supersample{QStringLiteral("supersample"),
                                   QStringLiteral("Poster: gathers the points at K times the size (1 to 4, default 1) "
                                                  "and filters down with a Gaussian; K x K times the memory."),
                                   QStringLiteral("k")};
    QCommandLineOption listPalettes{QStringLiteral("list-palettes"), QStringLiteral("Lists the built-in palettes.")};
    QCommandLineOption transparent{QStringLiteral("transparent"),
                                   QStringLiteral("Poster: over transparency instead of the background colour.")};
    QCommandLineOption depth{QStringLiteral("depth"), QStringLiteral("Poster: bits per colour component, 8 or 16."),
                             QStringLiteral("8|16")};
    QCommandLineOption part{QStringLiteral("part"),
                            QStringLiteral("Poster: render only part K of N, with --accumulation."),
                            QStringLiteral("K/N")};
    QCommandLineOption accumulation{QStringLiteral("accumulation"),
                                    QStringLiteral("Poster: write the part's sums to this .vacc file."),
                                    QStringLiteral("file")};
    QCommandLineOption merge{QStringLiteral("merge"),
                             QStringLiteral("Add up the .vacc files given instead of a document and write "
                                            "the poster with -o; takes the tone options (--gamma, --brightness, "
                                            "--contrast, --vibrancy, --transparent, --depth).")};
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Renders a Vorlane fractal document (.vrf) to a picture.\n\n"
            "--mode exact (the default) draws as the program's \"Start rendering\" does, pixel for pixel:\n"
            "one flat point per pixel, at most 16384 pixels a side; --centre is in canvas units.\n\n"
            "--mode poster fits the fractal to the picture with a small margin and shades it by\n"
            "density, with smooth edges, up to 32768 x 32768 pixels, written as PNG. --points\n"
            "defaults to 20 a pixel and may pass 32 bits; --centre X,Y is the point, in document\n"
            "units, shown at the middle; --zoom, --gamma, --transparent and --depth shape the\n"
            "picture, --palette, --colour-by, --brightness, --contrast, --vibrancy, --skip and\n"
            "--supersample its colours, tone and finish. The same options and seed give the\n"
            "same file whatever --threads says.\n\n"
            "A poster can be rendered in parts, on as many machines as you like:\n"
            "  vorlane-render IN.vrf --mode poster [options] --part K/N --accumulation K.vacc\n"
            "  vorlane-render --merge 1.vacc ... N.vacc -o OUT.png [tone options]\n"
            "gives the same file as the poster rendered in one go.\n\n"
            "--mode levels --level K draws the base field's images under every composition of K maps,\n"
            "each point one pixel at the exact mode's scale, in the colour of the map that placed it.\n"
            "--info prints the maps, their weights and the fractal's dimensions instead."));
        parser.addPositionalArgument(QStringLiteral("input"), QStringLiteral("The document to render."));
        parser.addOptions({output, width, height, points, resolution, centre, seed, threads, mode, level, info, zoom,
                           gamma, brightness, contrast, vibrancy, palette, colourBy, skip, supersample, transparent,
                           depth, part, accumulation, merge, listPalettes});
    }
};

bool isPngName(const QString &path)
{
    return pictureFormatFor(path) == "PNG";
}

// The picture writer takes any other name for a bitmap; the command asks
// for the extension so that a slip such as "-o fern.vrf" cannot overwrite
// a document.
bool isPictureName(const QString &path)
{
    return isPngName(path) || path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
}

std::optional<qint64> integerValue(const QString &text, qint64 lowest, qint64 highest)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

QString outOfRange(const QString &option, qint64 lowest, qint64 highest)
{
    return QStringLiteral("--%1 takes a whole number from %2 to %3.").arg(option).arg(lowest).arg(highest);
}

// Fills one optional number, or returns the error message.
template<typename T>
QString readNumber(const Parser &p, const QCommandLineOption &option, qint64 lowest, qint64 highest,
                   std::optional<T> &into)
{
    if (!p.parser.isSet(option))
        return QString();
    const std::optional<qint64> value = integerValue(p.parser.value(option), lowest, highest);
    if (!value)
        return outOfRange(option.names().constLast(), lowest, highest);
    into = T(*value);
    return QString();
}

std::optional<double> realValue(const QString &text, double lowest, double highest)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= lowest && value <= highest))
        return std::nullopt;
    return value;
}

QString readPosterCentre(const Parser &p, PosterOptions &poster)
{
    const QStringList parts = p.parser.value(p.centre).split(QLatin1Char(','));
    constexpr double largest = 1e9;
    const std::optional<double> x = parts.size() == 2 ? realValue(parts.at(0), -largest, largest) : std::nullopt;
    const std::optional<double> y = parts.size() == 2 ? realValue(parts.at(1), -largest, largest) : std::nullopt;
    if (!x || !y)
        return QStringLiteral("--centre takes two numbers in document units, as X,Y.");
    poster.centre = QPointF(*x, *y);
    return QString();
}

QString readCentre(const Parser &p, RenderOptions &options)
{
    if (!p.parser.isSet(p.centre))
        return QString();
    if (options.mode == RenderMode::Poster)
        return readPosterCentre(p, options.poster);
    const QStringList parts = p.parser.value(p.centre).split(QLatin1Char(','));
    constexpr qint64 lowest = std::numeric_limits<qint16>::min();
    constexpr qint64 highest = std::numeric_limits<qint16>::max();
    const std::optional<qint64> x = parts.size() == 2 ? integerValue(parts.at(0), lowest, highest) : std::nullopt;
    const std::optional<qint64> y = parts.size() == 2 ? integerValue(parts.at(1), lowest, highest) : std::nullopt;
    if (!x || !y)
        return QStringLiteral("--centre takes two whole numbers from %1 to %2, as X,Y.").arg(lowest).arg(highest);
    options.centre = QPoint(int(*x), int(*y));
    return QString();
}

QString readSize(const Parser &p, RenderOptions &options)
{
    std::optional<int> width;
    std::optional<int> height;
    const int largest = options.mode == RenderMode::Poster ? largestPosterSide : largestSide;
    QString error = readNumber(p, p.width, 1, largest, width);
    if (error.isEmpty())
        error = readNumber(p, p.height, 1, largest, height);
    const QSize startup = startupCanvasSize();
    options.size = QSize(width.value_or(startup.width()), height.value_or(startup.height()));
    return error;
}

QString readLevel(const Parser &p, RenderOptions &options)
{
    options.mode = RenderMode::Levels;
    if (!p.parser.isSet(p.level))
        return QStringLiteral("--mode levels needs --level K.");
    std::optional<int> level;
    const QString error = readNumber(p, p.level, 0, deepestLevel, level);
    options.level = level.value_or(0);
    return error;
}

QString readMode(const Parser &p, RenderOptions &options)
{
    const QString mode = p.parser.value(p.mode);
    if (mode == QLatin1String("levels"))
        return readLevel(p, options);
    if (p.parser.isSet(p.level))
        return QStringLiteral("--level is for --mode levels.");
    if (mode.isEmpty() || mode == QLatin1String("exact"))
        return QString();
    if (mode != QLatin1String("poster"))
        return QStringLiteral("--mode is exact, poster or levels.");
    options.mode = RenderMode::Poster;
    if (!p.parser.isSet(p.accumulation) && !isPngName(options.output))
        return QStringLiteral("A poster is written as a .png file.");
    return QString();
}

// The options that only shape a poster, refused in the exact mode.
QString readRealOption(const Parser &p, const QCommandLineOption &option, double &into)
{
    if (!p.parser.isSet(option))
        return QString();
    const std::optional<double> value = realValue(p.parser.value(option), 1e-6, 1e6);
    if (!value)
        return QStringLiteral("--%1 takes a number from 0.000001 to 1000000.").arg(option.names().constFirst());
    into = *value;
    return QString();
}

QString readVibrancy(const Parser &p, double &into)
{
    if (!p.parser.isSet(p.vibrancy))
        return QString();
    const std::optional<double> value = realValue(p.parser.value(p.vibrancy), 0.0, 1.0);
    if (!value)
        return QStringLiteral("--vibrancy takes a number from 0 to 1.");
    into = *value;
    return QString();
}

QString readTone(const Parser &p, PosterToneMapping &tone)
{
    tone.transparent = p.parser.isSet(p.transparent);
    const QString depth = p.parser.value(p.depth);
    if (!depth.isEmpty() && depth != QLatin1String("8") && depth != QLatin1String("16"))
        return QStringLiteral("--depth is 8 or 16.");
    tone.depth = depth == QLatin1String("16") ? 16 : 8;
    QString error = readRealOption(p, p.gamma, tone.gamma);
    for (const auto &[option, into] : {std::pair{&p.brightness, &tone.brightness}, {&p.contrast, &tone.contrast}}) {
        if (error.isEmpty())
            error = readRealOption(p, *option, *into);
    }
    return error.isEmpty() ? readVibrancy(p, tone.vibrancy) : error;
}

// The options that shape a poster's colours and sums beyond its frame.
QString readColouring(const Parser &p, RenderOptions &options)
{
    PosterOptions &poster = options.poster;
    if (p.parser.isSet(p.palette)) {
        QString error;
        const std::optional<PosterPalette> palette = findPosterPalette(p.parser.value(p.palette), &error);
        if (!palette)
            return QStringLiteral("--palette: %1.").arg(error);
        poster.palette = *palette;
    }
    const QString colourBy = p.parser.value(p.colourBy);
    if (!colourBy.isEmpty() && colourBy != QLatin1String("map") && colourBy != QLatin1String("document"))
        return QStringLiteral("--colour-by is map or document.");
    poster.colourBy = colourBy == QLatin1String("map") ? PosterColourBy::Map : PosterColourBy::Document;
    std::optional<int> skip;
    std::optional<int> supersample;
    QString error = readNumber(p, p.skip, 0, std::numeric_limits<qint16>::max() - 1, skip);
    if (error.isEmpty())
        error = readNumber(p, p.supersample, 1, largestSupersample, supersample);
    poster.skip = skip.value_or(0);
    poster.supersample = supersample.value_or(1);
    const int longestSide = qMax(options.size.width(), options.size.height());
    if (error.isEmpty() && qint64(longestSide) * poster.supersample > largestPosterSide)
        return QStringLiteral("--supersample %1 would gather %2 pixels a side, more than %3.")
            .arg(poster.supersample)
            .arg(qint64(longestSide) * poster.supersample)
            .arg(largestPosterSide);
    return error;
}

QString readPart(const Parser &p, PosterOptions &poster)
{
    if (!p.parser.isSet(p.part))
        return QString();
    const QStringList numbers = p.parser.value(p.part).split(QLatin1Char('/'));
    const std::optional<qint64> parts = numbers.size() == 2 ? integerValue(numbers.at(1), 1, mostPosterParts) : std::nullopt;
    const std::optional<qint64> part = parts ? integerValue(numbers.at(0), 1, *parts) : std::nullopt;
    if (!part)
        return QStringLiteral("--part takes K/N, two whole numbers with 1 <= K <= N <= %1.").arg(mostPosterParts);
    poster.part = int(*part);
    poster.parts = int(*parts);
    return QString();
}

// The options that only shape a poster, refused in the exact mode.
QString readPosterOptions(const Parser &p, RenderOptions &options)
{
    if (options.mode != RenderMode::Poster) {
        for (const QCommandLineOption *option :
             {&p.zoom, &p.gamma, &p.brightness, &p.contrast, &p.vibrancy, &p.palette, &p.colourBy, &p.skip,
              &p.supersample, &p.transparent, &p.depth, &p.part, &p.accumulation}) {
            if (p.parser.isSet(*option))
                return QStringLiteral("--%1 is for --mode poster.").arg(option->names().constFirst());
        }
        return QString();
    }
    PosterOptions &poster = options.poster;
    poster.accumulation = p.parser.value(p.accumulation);
    if (p.parser.isSet(p.part) && poster.accumulation.isEmpty())
        return QStringLiteral("--part needs --accumulation FILE to write the part to.");
    if (!poster.accumulation.isEmpty() && p.parser.isSet(p.output))
        return QStringLiteral("--accumulation writes sums, not a picture: leave out -o.");
    // As for pictures, so that a slip cannot write sums over a document.
    if (!poster.accumulation.isEmpty() && !poster.accumulation.endsWith(QLatin1String(".vacc"), Qt::CaseInsensitive))
        return QStringLiteral("--accumulation writes a .vacc file.");
    QString error = readPart(p, poster);
    for (const std::function<QString()> &read : std::initializer_list<std::function<QString()>>{
             [&] { return readRealOption(p, p.zoom, poster.zoom); }, [&] { return readTone(p, poster.tone); },
             [&] { return readColouring(p, options); },
             [&] { return readNumber(p, p.points, 1, mostPosterPoints, poster.points); }}) {
        if (error.isEmpty())
            error = read();
    }
    poster.points = poster.points.value_or(posterPointsPerPixel * options.size.width() * options.size.height());
    return error;
}

// Threads beyond the cores only cost memory: they count as one a core.
int usefulThreads(int requested)
{
    const int cores = int(qMax(1u, std::thread::hardware_concurrency()));
    return requested == 0 ? 0 : qMin(requested, cores);
}

// --merge PART... -o PICTURE with only the options that shape the picture.
ParsedRenderOptions parseMerge(const Parser &p)
{
    for (const QCommandLineOption *option :
         {&p.width, &p.height, &p.points, &p.resolution, &p.centre, &p.seed, &p.mode, &p.level, &p.info, &p.zoom,
          &p.palette, &p.colourBy, &p.skip, &p.supersample, &p.part, &p.accumulation}) {
        if (p.parser.isSet(*option))
            return CommandLineError{QStringLiteral("--merge takes no --%1: the parts hold it.")
                                          .arg(option->names().constFirst())};
    }
    RenderOptions options;
    options.mode = RenderMode::Merge;
    options.output = p.parser.value(p.output);
    options.poster.merge = p.parser.positionalArguments();
    if (options.poster.merge.isEmpty())
        return CommandLineError{QStringLiteral("Give the .vacc parts to merge.")};
    if (!isPngName(options.output))
        return CommandLineError{QStringLiteral("Give the poster to write with -o FILE.png.")};
    std::optional<int> threads;
    QString error = readTone(p, options.poster.tone);
    if (error.isEmpty())
        error = readNumber(p, p.threads, 0, mostThreads, threads);
    if (!error.isEmpty())
        return CommandLineError{error};
    options.threads = usefulThreads(threads.value_or(0));
    return options;
}

QString readPoints(const Parser &p, RenderOptions &options)
{
    if (options.mode == RenderMode::Poster)
        return QString();
    return readNumber(p, p.points, 1, std::numeric_limits<qint32>::max(), options.points);
}

QString paletteList()
{
    QString list;
    for (const PaletteName &palette : posterPaletteNames())
        list += QStringLiteral("%1  %2\n").arg(palette.name, -12).arg(palette.caption);
    return list;
}

} // namespace

ParsedRenderOptions parseRenderOptions(const QStringList &arguments)
{
    Parser p;
    if (std::optional<ParsedRenderOptions> answer = commonAnswer<ParsedRenderOptions>(p.parser, arguments, p.help, p.version))
        return *answer;
    if (p.parser.isSet(p.listPalettes))
        return CommandLineInfo{paletteList()};
    if (p.parser.isSet(p.merge))
        return parseMerge(p);
    const QStringList inputs = p.parser.positionalArguments();
    if (inputs.size() != 1)
        return CommandLineError{QStringLiteral("Give exactly one document to render.")};
    // A part of a poster is written as sums, not as a picture.
    const bool toPicture = !p.parser.isSet(p.accumulation) && !p.parser.isSet(p.info);
    if (toPicture && !p.parser.isSet(p.output))
        return CommandLineError{QStringLiteral("Give the picture to write with -o FILE.")};
    if (p.parser.isSet(p.info) && p.parser.isSet(p.output))
        return CommandLineError{QStringLiteral("--info prints text, not a picture: leave out -o.")};

    RenderOptions options;
    options.info = p.parser.isSet(p.info);
    options.input = inputs.constFirst();
    options.output = p.parser.value(p.output);
    if (toPicture && !isPictureName(options.output))
        return CommandLineError{QStringLiteral("The picture must be a .png or a .bmp file.")};
    std::optional<std::uint32_t> seed;
    std::optional<int> threads;
    // In order: the size and the mode come before what depends on them.
    const std::function<QString()> readers[] = {
        [&] { return readMode(p, options); },
        [&] { return readSize(p, options); },
        [&] { return readPoints(p, options); },
        [&] { return readNumber(p, p.resolution, 1, std::numeric_limits<qint16>::max(), options.resolution); },
        [&] { return readCentre(p, options); },
        [&] { return readNumber(p, p.seed, 0, std::numeric_limits<std::uint32_t>::max(), seed); },
        [&] { return readNumber(p, p.threads, 0, mostThreads, threads); },
        [&] { return readPosterOptions(p, options); },
    };
    for (const auto &reader : readers) {
        const QString error = reader();
        if (!error.isEmpty())
            return CommandLineError{error};
    }
    options.seed = seed.value_or(options.seed);
    options.threads = usefulThreads(threads.value_or(options.threads));
    return options;
}

} // namespace Vorlane
