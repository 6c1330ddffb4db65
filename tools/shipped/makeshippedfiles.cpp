// Writes the files shipped beside the program into the given data folder:
// the net-info file "vornet.dat", the advertisement picture "vornad.dat" (an
// animated GIF of fractals growing) and the pictures of the help pages. The
// results are committed; nothing runs this at build time.
//
//     vorlane-make-shipped-files path/to/data
#include "render/exact/documentpicture.h"
#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "editing/transformationfields.h"
#include "gifencoder.h"
#include "madedocuments.h"
#include "netinfo/netinfo.h"
#include "render/exact/rastercanvas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace Vorlane;

namespace {

QString trNameNumber(int number)
{
    return paddedTrName(QStringLiteral("Tr %1").arg(number));
}

// Maps whose translations are in document units.
QList<Transformation> storedMaps(const QList<Map> &maps)
{
    FractalDocument document;
    addMaps(document, maps);
    return document.transformations;
}

// The view scales of the main window right after start-up.
RenderSettings startupScales()
{
    const RasterCanvas canvas(startupCanvasSize(), paper);
    return RenderSettings{0, 0, toSingle(1.0 / canvas.scaleWidth()), toSingle(1.0 / canvas.scaleHeight())};
}

// Maps as the transformation editor stores them when their numbers are typed
// on the start-up canvas. The help pages give translations that way, as
// fractions of the canvas's width and height.
QList<Transformation> typedMaps(const QList<Map> &maps)
{
    const RenderSettings scales = startupScales();
    const auto typed = [](float value) { return QString::number(value); };
    QList<Transformation> transformations;
    for (const Map &map : maps) {
        const TransformationFields fields{trNameNumber(int(transformations.size()) + 1), typed(map.contractionX),
                                          typed(map.contractionY),           typed(map.rotation),
                                          typed(map.translationX),           typed(map.translationY)};
        transformations.append(transformationFromFields(fields, scales));
    }
    return transformations;
}

// A document of the given maps over the given base field.
FractalDocument fractal(const QList<BasePoint> &base, const QList<Transformation> &maps, qint32 points, qint32 style,
                        qint32 colour1, qint32 colour2)
{
    FractalDocument document;
    document.transformations = maps;
    document.trNameCounter = qint16(document.trCount() + 1);
    document.basePoints = base;
    document.settings = RenderSettings{points, 20, 0.0f, 0.0f};
    document.colours = ColourScheme{style, colour1, colour2, paper};
    return document;
}

// Points every 10 units along a straight line, as the base field editor
// samples a drawn line.
QList<BasePoint> line(int x1, int y1, int x2, int y2)
{
    QList<BasePoint> points;
    const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1)) / 10;
    for (int i = 0; i <= steps; ++i)
        points.append(BasePoint{qint16(x1 + (x2 - x1) * i / steps), qint16(y1 + (y2 - y1) * i / steps)});
    return points;
}

// The letter F, 600 units high: its copies show which way a map turns,
// stretches or mirrors.
QList<BasePoint> letterF()
{
    return line(0, 0, 0, 600) + line(10, 600, 300, 600) + line(10, 300, 200, 300);
}

FractalDocument startupTree(qint32 points, qint32 style)
{
    FractalDocument tree = startupDocument(0.0f, 0.0f, paper);
    tree.settings.totalPoints = points;
    tree.colours.colourStyle = style;
    return tree;
}

FractalDocument triangle(qint32 points)
{
    return fractal({BasePoint{0, 0}},
                   storedMaps({{0.5f, 0.5f, 0, 0, 0}, {0.5f, 0.5f, 0, 1000, 0}, {0.5f, 0.5f, 0, 500, 866}}), points,
                   ChronologicalColour, rgbColour(30, 60, 200), rgbColour(220, 40, 140));
}

FractalDocument spiral(qint32 points)
{
    return fractal(line(0, 0, 0, 300), storedMaps({{0.85f, 0.85f, 25, 0, 0}, {0.3f, 0.3f, -60, 900, 0}}), points,
                   RadiatingColour, rgbColour(200, 90, 0), rgbColour(250, 210, 40));
}

// The help's first fractal: after start-up, New, then three maps typed into
// the transformation editor.
FractalDocument tutorialTriangle()
{
    const RenderSettings scales = startupScales();
    FractalDocument document = startupDocument(scales.scaleX, scales.scaleY, paper);
    makeEmptyDocument(document);
    document.transformations =
        typedMaps({{0.5f, 0.5f, 0, -0.2f, 0}, {0.5f, 0.5f, 0, 0.2f, 0}, {0.5f, 0.5f, 0, 0, 0.3f}});
    return document;
}

QImage render(FractalDocument document, QSize size, float zoom, QPoint centre)
{
    document.centreX = cint16(centre.x());
    document.centreY = cint16(centre.y());
    RandomGenerator random;
    return renderDocumentPicture(document, size, random, zoom);
}

void copyInto(QImage &target, const QImage &source, int left)
{
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x)
            target.setPixel(left + x, y, source.pixel(x, y));
    }
}

// The advertisement: a tree, a triangle and a spiral growing side by side.
QByteArray advertisement()
{
    const QSize banner(110, 30);
    const QSize cell(36, 30);
    constexpr int frameCount = 16;
    QList<GifFrame> frames;
    for (int frame = 1; frame <= frameCount; ++frame) {
        const auto points = [frame](qint32 all) { return all * frame / frameCount; };
        QImage picture(banner, QImage::Format_RGB32);
        picture.fill(RasterCanvas::toRgb(paper));
        copyInto(picture, render(startupTree(points(5000), RadiatingColour), cell, 0.085f, QPoint(0, 200)), 0);
        copyInto(picture, render(triangle(points(4000)), cell, 0.24f, QPoint(240, 208)), 37);
        copyInto(picture, render(spiral(points(4000)), cell, 0.22f, QPoint(110, -10)), 74);
        frames.append(GifFrame{picture, frame == frameCount ? 300 : 12});
    }
    return encodeAnimatedGif(frames);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writePicture(const QString &folder, const char *name, const QImage &picture)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (!picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The pictures of the help pages, each a worked example. The first fractal
// is the whole start-up canvas, as the main window shows it; the others show
// a part of it, enlarged, centred on the canvas units given.
bool writeHelpPictures(const QString &folder)
{
    const QSize size(240, 240);
    const auto example = [&size](const QList<Map> &maps, float zoom, QPoint centre) {
        const FractalDocument document = fractal(letterF(), typedMaps(maps), 30000, RadiatingColour,
                                                 rgbColour(20, 20, 60), rgbColour(60, 140, 255));
        return render(document, size, zoom, centre);
    };
    RandomGenerator startupRandom;
    const auto tree = [&size](qint32 style) { return render(startupTree(45000, style), size, 0.5f, QPoint(0, 1100)); };
    bool ok = writePicture(folder, "base-field.png", example({}, 3.0f, QPoint(450, 900)))
        && writePicture(folder, "contraction.png", example({{0.5f, 0.5f, 0, 0.12f, 0}}, 1.4f, QPoint(1090, 420)))
        && writePicture(folder, "unequal-contraction.png",
                        example({{0.9f, 0.4f, 0, 0, 0.12f}}, 1.8f, QPoint(270, 1090)))
        && writePicture(folder, "rotation.png", example({{0.8f, 0.8f, 30, 0, 0}}, 2.2f, QPoint(0, 0)))
        && writePicture(folder, "two-maps.png",
                        example({{0.5f, 0.5f, 0, 0.12f, 0}, {0.5f, 0.5f, 0, 0, 0.12f}}, 1.2f, QPoint(940, 870)))
        && writePicture(folder, "triangle.png",
                        renderDocumentPicture(tutorialTriangle(), startupCanvasSize(), startupRandom));
    for (qint32 style = RadiatingColour; ok && style <= TwoColoursOnly; ++style)
        ok = writePicture(folder, qPrintable(QStringLiteral("tree-style-%1.png").arg(style)), tree(style));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: %s DATA-FOLDER\n", qPrintable(arguments.value(0)));
        return 2;
    }
    const QString data = arguments.at(1);
    const QString images = data + QLatin1String("/help/images");
    if (!QDir().mkpath(images)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(images));
        return 1;
    }
    const bool ok = writeFile(data + QLatin1String("/vornet.dat"), netInfoFileBytes(shippedNetInfo()))
        && writeFile(data + QLatin1String("/vornad.dat"), advertisement()) && writeHelpPictures(images);
    return ok ? 0 : 1;
}
