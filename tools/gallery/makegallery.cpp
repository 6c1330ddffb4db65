// Writes the gallery of classic fractals that ships in the Fractals folder.
// Run: vorlane-make-gallery FOLDER
#include "document/colour.h"
#include "document/documentfile.h"
#include "madedocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QPoint>
#include <QPointF>

#include <cmath>
#include <cstdio>

using namespace Vorlane;

namespace {

struct Entry
{
    const char *fileName;
    QList<Map> maps;
    QList<BasePoint> baseField;
    ColourScheme colours;
    qint32 totalPoints = 250000;
    qint16 resolution = 20;
    qint16 centreY = 0;
    qint16 centreX = 0;
};

QList<BasePoint> segment(QPoint from, QPoint to, int steps)
{
    QList<BasePoint> points;
    for (int i = 0; i <= steps; ++i) {
        points.append({qint16(from.x() + (to.x() - from.x()) * i / steps),
                       qint16(from.y() + (to.y() - from.y()) * i / steps)});
    }
    return points;
}

QList<BasePoint> polygon(const QList<QPoint> &corners, int stepsPerSide)
{
    QList<BasePoint> points;
    for (qsizetype i = 0; i < corners.size(); ++i)
        points += segment(corners.at(i), corners.at((i + 1) % corners.size()), stepsPerSide);
    return points;
}

QList<BasePoint> dot(int x, int y)
{
    return {{qint16(x), qint16(y)}};
}

// Maps that shrink the plane by factor towards the given fixed points.
QList<Map> shrinkTowards(float factor, const QList<QPointF> &fixedPoints, float rotation = 0)
{
    QList<Map> maps;
    for (const QPointF &point : fixedPoints)
        maps.append({factor, factor, rotation, float(std::round(point.x() * (1 - factor))),
                     float(std::round(point.y() * (1 - factor)))});
    return maps;
}

enum class Mirror { None, InXAxis };

// The map of the given scale and rotation that takes from to to. A mirrored
// map first turns the plane over in the X axis: a negative contraction Y.
Map similarity(float scale, float rotation, QPointF from, QPointF to, Mirror mirror = Mirror::None)
{
    const float flip = mirror == Mirror::InXAxis ? -1.0f : 1.0f;
    const double angle = rotation * M_PI / 180.0;
    const double fromY = flip * from.y();
    const double x = scale * (from.x() * std::cos(angle) - fromY * std::sin(angle));
    const double y = scale * (from.x() * std::sin(angle) + fromY * std::cos(angle));
    return {scale, flip * scale, rotation, float(std::round(to.x() - x)), float(std::round(to.y() - y))};
}

QList<QPointF> ring(int count, double radius, double firstAngleDegrees)
{
    QList<QPointF> points;
    for (int i = 0; i < count; ++i) {
        const double angle = (firstAngleDegrees + 360.0 * i / count) * M_PI / 180.0;
        points.append({radius * std::cos(angle), radius * std::sin(angle)});
    }
    return points;
}

QList<Entry> gallery()
{
    const float third = 1.0f / 3.0f;
    const float halfRoot = float(1.0 / std::sqrt(2.0));
    QList<QPointF> carpet;
    QList<QPointF> crystal{{0, 0}};
    for (int x = -1; x <= 1; ++x) {
        for (int y = -1; y <= 1; ++y) {
            if (x != 0 || y != 0)
                carpet.append({x * 2400.0, y * 2400.0});
            if ((x == 0) != (y == 0))
                crystal.append({x * 2400.0, y * 2400.0});
        }
    }
    const QPointF dragonStart(-1400, -700);
    const QPointF dragonEnd(1400, -700);
    const QPointF levyStart(-1200, 900);
    const QPointF levyEnd(1200, 900);
    // The Koch curve from two mirrored maps: each takes the whole curve onto
    // one half of it, turned over.
    const float kochScale = float(1.0 / std::sqrt(3.0));
    const QPointF kochStart(-2600, -750);
    const QPointF kochPeak(0, -750 + 2600 / std::sqrt(3.0));
    QList<QPointF> hexaflake = ring(6, 2400, 90);
    hexaflake.append({0, 0});

    return {
        {"Sierpinski Triangle.vrf", shrinkTowards(0.5f, {{-2600, -2200}, {2600, -2200}, {0, 2300}}),
         polygon({{-2600, -2200}, {2600, -2200}, {0, 2300}}, 400), {RadiatingColour, rgbColour(20, 40, 140), rgbColour(230, 60, 40), paper}},
        {"Fern.vrf",
         {{0.85f, 0.85f, -2.5f, 0, 800}, {0.30f, 0.34f, 49, 0, 800}, {0.30f, 0.34f, -49, 0, 220}, {0.03f, 0.16f, 0, 0, 0}},
         segment({0, 0}, {0, 800}, 80), {RadiatingColour, rgbColour(60, 40, 10), rgbColour(40, 170, 40), paper}, 300000, 20, 2700},
        {"Dragon Curve.vrf", {similarity(halfRoot, 45, dragonStart, dragonStart), similarity(halfRoot, 135, dragonStart, dragonEnd)},
         dot(dragonStart.x(), dragonStart.y()), {RadiatingColour, rgbColour(230, 40, 30), rgbColour(40, 30, 200), paper}},
        {"Tree.vrf",
         {{0.62f, 0.62f, 32, 0, 1800}, {0.62f, 0.62f, -32, 0, 1800}, {0.5f, 0.5f, 0, 0, 1500}},
         segment({0, 0}, {0, 1800}, 360), {RadiatingColour, rgbColour(90, 50, 20), rgbColour(230, 120, 160), paper}, 250000, 20, 2200},
        {"Spiral.vrf", {{0.9f, 0.9f, 20, 0, 0}, {0.3f, 0.3f, 0, 2100, 0}}, dot(3000, 0),
         {RandomColour, rgbColour(255, 140, 0), rgbColour(120, 0, 160), rgbColour(10, 10, 30)}, 300000, 24, 585, 900},
        {"Snowflake.vrf", shrinkTowards(third, hexaflake), polygon({{-300, -520}, {300, -520}, {600, 0}, {300, 520}, {-300, 520}, {-600, 0}}, 60),
         {RadiatingColour, rgbColour(30, 90, 200), rgbColour(200, 230, 255), rgbColour(15, 25, 60)}},
        {"Sierpinski Carpet.vrf", shrinkTowards(third, carpet), dot(0, 0),
         {ChronologicalColour, rgbColour(120, 20, 20), rgbColour(240, 190, 60), paper}},
        {"Levy C Curve.vrf", {similarity(halfRoot, -45, levyStart, levyStart), similarity(halfRoot, 45, levyEnd, levyEnd)},
         dot(levyStart.x(), levyStart.y()), {TwoColoursOnly, rgbColour(0, 110, 90), rgbColour(220, 90, 0), paper}},
        {"Vicsek Crystal.vrf", shrinkTowards(third, crystal), dot(0, 0),
         {RandomColour, rgbColour(0, 160, 200), rgbColour(0, 40, 120), rgbColour(245, 250, 255)}},
        {"Pentaflake.vrf", shrinkTowards(0.382f, ring(5, 2500, 90) << QPointF(0, 0)), dot(0, 0),
         {RadiatingColour, rgbColour(150, 0, 80), rgbColour(255, 200, 0), paper}},
        {"Galaxy.vrf", {{0.85f, 0.85f, 25, 0, 0}, {0.3f, 0.3f, -60, 1700, 0}, {0.3f, 0.3f, 120, -1700, 0}}, dot(0, 0),
         {RandomColour, rgbColour(255, 255, 220), rgbColour(90, 60, 200), rgbColour(5, 5, 20)}, 400000, 24},
        // Mirrored maps: each leaflet of this fern is the other turned over.
        {"Mirrored Fern.vrf",
         {{0.85f, 0.85f, -2.5f, 0, 800}, {0.30f, 0.34f, -49, 0, 500}, {-0.30f, 0.34f, 49, 0, 500}, {0.03f, 0.16f, 0, 0, 0}},
         segment({0, 0}, {0, 800}, 80), {ChronologicalColour, rgbColour(20, 90, 30), rgbColour(170, 220, 60), paper}, 300000, 20, 2700},
        {"Koch Curve.vrf",
         {similarity(kochScale, 30, kochStart, kochStart, Mirror::InXAxis),
          similarity(kochScale, -30, kochStart, kochPeak, Mirror::InXAxis)},
         dot(kochStart.x(), kochStart.y()), {TwoColoursOnly, rgbColour(20, 60, 160), rgbColour(200, 40, 90), paper}},
    };
}

FractalDocument document(const Entry &entry)
{
    FractalDocument document;
    addMaps(document, entry.maps);
    document.basePoints = entry.baseField;
    document.settings.totalPoints = entry.totalPoints;
    document.settings.resolution = entry.resolution;
    document.colours = entry.colours;
    document.centreX = entry.centreX;
    document.centreY = entry.centreY;
    return document;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlane-make-gallery FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const Entry &entry : gallery()) {
        QString error;
        const QString path = folder.filePath(QLatin1String(entry.fileName));
        if (!saveDocumentFile(document(entry), path, &error)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
