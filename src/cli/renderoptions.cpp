#include "renderoptions.h"

#include "render/documentpicture.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <limits>

namespace Vorlane {

namespace {

constexpr int largestSide = 16384;
constexpr int mostThreads = 1024;

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
                               QStringLiteral("Threads to render on (0, the default: one for every core). The "
                                              "picture is the same with any number."),
                               QStringLiteral("n")};
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Renders a Vorlane fractal document (.vrf) to a picture, as the program's "
                           "\"Start rendering\" does."));
        parser.addPositionalArgument(QStringLiteral("input"), QStringLiteral("The document to render."));
        parser.addOptions({output, width, height, points, resolution, centre, seed, threads});
    }
};

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

QString readCentre(const Parser &p, RenderOptions &options)
{
    if (!p.parser.isSet(p.centre))
        return QString();
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
    QString error = readNumber(p, p.width, 1, largestSide, width);
    if (error.isEmpty())
        error = readNumber(p, p.height, 1, largestSide, height);
    const QSize startup = startupCanvasSize();
    options.size = QSize(width.value_or(startup.width()), height.value_or(startup.height()));
    return error;
}

} // namespace

QByteArray pictureFormat(const QString &path)
{
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return "PNG";
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        return "BMP";
    return QByteArray();
}

ParsedRenderOptions parseRenderOptions(const QStringList &arguments)
{
    Parser p;
    if (!p.parser.parse(arguments))
        return RenderOptionsError{p.parser.errorText()};
    if (p.parser.isSet(p.help))
        return RenderInfo{p.parser.helpText()};
    if (p.parser.isSet(p.version))
        return RenderInfo{QCoreApplication::applicationName() + QLatin1Char(' ')
                          + QCoreApplication::applicationVersion() + QLatin1Char('\n')};
    const QStringList inputs = p.parser.positionalArguments();
    if (inputs.size() != 1)
        return RenderOptionsError{QStringLiteral("Give exactly one document to render.")};
    if (!p.parser.isSet(p.output))
        return RenderOptionsError{QStringLiteral("Give the picture to write with -o FILE.")};

    RenderOptions options;
    options.input = inputs.constFirst();
    options.output = p.parser.value(p.output);
    if (pictureFormat(options.output).isEmpty())
        return RenderOptionsError{QStringLiteral("The picture must be a .png or a .bmp file.")};
    std::optional<std::uint32_t> seed;
    std::optional<int> threads;
    for (const QString &error :
         {readSize(p, options), readNumber(p, p.points, 1, std::numeric_limits<qint32>::max(), options.points),
          readNumber(p, p.resolution, 1, std::numeric_limits<qint16>::max(), options.resolution), readCentre(p, options),
          readNumber(p, p.seed, 0, std::numeric_limits<std::uint32_t>::max(), seed),
          readNumber(p, p.threads, 0, mostThreads, threads)}) {
        if (!error.isEmpty())
            return RenderOptionsError{error};
    }
    options.seed = seed.value_or(options.seed);
    options.threads = threads.value_or(options.threads);
    return options;
}

} // namespace Vorlane
