#include "programs/vorlane-convert/convertoptions.h"

#include "document/canvasunits.h"
#include "convert/affinemap.h"
#include "convert/ifsconversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace Vorlane {

namespace {

QString description()
{
    return QStringLiteral(
               "Converts between Vorlane fractal documents (.vrf), classic IFS text (.ifs, .txt) and flame "
               "genomes (.flame, .xml).\n"
               "\n"
               "  .vrf -> IFS text   one block named after the file; one line a map, a b c d e f p, with\n"
               "                     x' = a x + b y + e and y' = c x + d y + f, exactly as Vorlane draws it;\n"
               "                     p is the map's weight |cx*cy| normalised.\n"
               "  .vrf -> flame      one linear xform a map, weighted as Vorlane weights it, coloured from a\n"
               "                     palette running from the first point colour to the second.\n"
               "  IFS text -> .vrf   one block (--name, or the first 2-D one). A map that scales along the\n"
               "                     axes and rotates (mirrors too) converts exactly; a map that shears is\n"
               "                     refused. Blocks marked (3D) are listed and skipped, and refused when\n"
               "                     named. The base field is one point on the attractor; the translations\n"
               "                     are scaled so that the attractor fills the start-up canvas but for a\n"
               "                     margin of %1% on each side. The resolution is the number of steps in\n"
               "                     which the slowest-shrinking map brings the picture below one pixel\n"
               "                     (at least %5, at most 32767). Probabilities that Vorlane's area\n"
               "                     weights change by more than %4 points are reported, and every map of\n"
               "                     no area, which Vorlane never picks.\n"
               "\n"
               "Units: IFS text and flame genomes measure in heights of the canvas the program starts with,\n"
               "%2 canvas units (%3 pixels), the same along X and Y. A document's translations are taken\n"
               "on that canvas, where one document unit is one canvas unit, and divided by %2. Y points\n"
               "up in IFS text and down in flame genomes, as their pictures count it.\n"
               "\n"
               "--approximate replaces a shearing map by the nearest map Vorlane can hold, in least squares\n"
               "over a, b, c, d: rotation t = atan2(2(ac - bd), a^2 - b^2 - c^2 + d^2) / 2, contractions the\n"
               "images of the axes projected on the axes turned by t; e and f stay. Each map's error, the\n"
               "largest change of a, b, c or d, is printed. A map of no area gets the least contraction along\n"
               "its flattened axis that gives it its probability's share of the weights.\n"
               "\n"
               "Exit codes: 2 bad options, 3 input not readable, 4 input refused or not convertible,\n"
               "5 output not writable.")
        .arg(int(fitMargin * 100))
        .arg(exchangeUnit())
        .arg(startupCanvasSize().height())
        .arg(int(probabilityTolerance * 100))
        .arg(minimumImportResolution);
}

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption name{QStringLiteral("name"), QStringLiteral("The IFS block to convert (default: the first)."),
                            QStringLiteral("name")};
    QCommandLineOption list{QStringLiteral("list"), QStringLiteral("List the blocks of IFS text INPUT and leave.")};
    QCommandLineOption approximate{QStringLiteral("approximate"),
                                   QStringLiteral("Take the nearest map Vorlane can hold for a map that shears.")};
    QCommandLineOption baseField{QStringLiteral("base-field"),
                                 QStringLiteral("Copy the base field from this document instead."),
                                 QStringLiteral("file.vrf")};
    QCommandLineOption keepScale{QStringLiteral("keep-scale"),
                                 QStringLiteral("Keep the block's units as start-up canvas heights instead of "
                                                "fitting the attractor to the canvas.")};
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    Parser()
    {
        parser.setApplicationDescription(description());
        parser.addPositionalArgument(QStringLiteral("input"), QStringLiteral("The file to convert."));
        parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The file to write."));
        parser.addOptions({name, list, approximate, baseField, keepScale});
    }
};

bool hasExtension(const QString &path, std::initializer_list<const char *> extensions)
{
    for (const char *extension : extensions) {
        if (path.endsWith(QLatin1Char('.') + QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool isDocument(const QString &path)
{
    return hasExtension(path, {"vrf"});
}

std::variant<Conversion, CommandLineError> conversion(const QString &input, const QString &output)
{
    if (isDocument(input) && hasExtension(output, {"ifs", "txt"}))
        return Conversion::DocumentToIfs;
    if (isDocument(input) && hasExtension(output, {"flame", "xml"}))
        return Conversion::DocumentToFlame;
    if (!isDocument(input) && isDocument(output))
        return Conversion::IfsToDocument;
    return CommandLineError{QStringLiteral("Convert a .vrf document to .ifs, .txt, .flame or .xml, "
                                              "or IFS text to a .vrf document.")};
}

} // namespace

ParsedConvertOptions parseConvertOptions(const QStringList &arguments)
{
    Parser p;
    if (std::optional<ParsedConvertOptions> answer = commonAnswer<ParsedConvertOptions>(p.parser, arguments, p.help, p.version))
        return *answer;

    ConvertOptions options;
    const QStringList files = p.parser.positionalArguments();
    if (p.parser.isSet(p.list)) {
        if (files.size() != 1 || isDocument(files.constFirst()))
            return CommandLineError{QStringLiteral("--list takes one IFS text file and no output.")};
        options.conversion = Conversion::ListBlocks;
        options.input = files.constFirst();
        return options;
    }
    if (files.size() != 2)
        return CommandLineError{QStringLiteral("Give the file to convert and the file to write.")};
    const auto chosen = conversion(files.at(0), files.at(1));
    if (const auto *error = std::get_if<CommandLineError>(&chosen))
        return *error;
    options.conversion = std::get<Conversion>(chosen);
    options.input = files.at(0);
    options.output = files.at(1);
    options.blockName = p.parser.value(p.name);
    options.baseFieldDocument = p.parser.value(p.baseField);
    options.approximate = p.parser.isSet(p.approximate);
    options.keepScale = p.parser.isSet(p.keepScale);
    const bool importing = options.conversion == Conversion::IfsToDocument;
    if (!importing && (p.parser.isSet(p.name) || p.parser.isSet(p.baseField) || options.approximate || options.keepScale))
        return CommandLineError{
            QStringLiteral("--name, --approximate, --base-field and --keep-scale belong to IFS text -> .vrf.")};
    if (p.parser.isSet(p.baseField) && !isDocument(options.baseFieldDocument))
        return CommandLineError{QStringLiteral("--base-field takes a .vrf document.")};
    return options;
}

} // namespace Vorlane
