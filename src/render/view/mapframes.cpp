#include "render/view/mapframes.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/chaos/preparedmaps.h"

#include <cmath>

namespace Vorlane {

namespace {

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

QPointF rotated(QPointF point, double degrees)
{
    const double radians = degrees * degreesToRadians<double>();
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    return {c * point.x() - s * point.y(), s * point.x() + c * point.y()};
}

// The extent's corners in MapFrame's order.
std::array<QPointF, 4> extentCorners(const Extent &extent)
{
    return {QPointF(extent.left, extent.top), QPointF(extent.right, extent.top),
            QPointF(extent.right, extent.bottom), QPointF(extent.left, extent.bottom)};
}

// The translation, in document units, that puts the extent's point `local`
// at `target` once contracted and rotated by map.
void placeAt(Transformation &map, QPointF unitScale, QPointF local, QPointF target)
{
    const QPointF linear = rotated(QPointF(double(map.contraction[0]) * local.x(),
                                           double(map.contraction[1]) * local.y()),
                                   double(map.rotation));
    map.translation[0] = toSingleSaturated((target.x() - linear.x()) / unitScale.x());
    map.translation[1] = toSingleSaturated((target.y() - linear.y()) / unitScale.y());
}

} // namespace

QPointF unitScale(const FractalDocument &document, float scaleWidth, float scaleHeight)
{
    return {double(scaleWidth) * double(document.settings.scaleX), double(scaleHeight) * double(document.settings.scaleY)};
}

// The poster's double arithmetic, its translation taken to canvas units.
QPointF applyMap(const Transformation &map, QPointF unitScale, QPointF point)
{
    const double theta = rotationAngle<double>(map);
    PlaneArithmetic::Map plane = PlaneArithmetic().map(map, std::cos(theta), std::sin(theta));
    plane.e *= unitScale.x();
    plane.f *= unitScale.y();
    const PlaneArithmetic::Point image = PlaneArithmetic::apply(plane, {point.x(), point.y()});
    return {image.x, image.y};
}

MapFrame mapFrame(const Transformation &map, QPointF unitScale, const Extent &extent)
{
    MapFrame frame;
    const std::array<QPointF, 4> corners = extentCorners(extent);
    for (std::size_t i = 0; i < corners.size(); ++i)
        frame.corners[i] = applyMap(map, unitScale, corners[i]);
    return frame;
}

Transformation movedMap(const Transformation &map, QPointF unitScale, QPointF from, QPointF to)
{
    Transformation moved = map;
    const QPointF shift = to - from;
    moved.translation[0] = toSingleSaturated(double(map.translation[0]) + shift.x() / unitScale.x());
    moved.translation[1] = toSingleSaturated(double(map.translation[1]) + shift.y() / unitScale.y());
    return moved;
}

Transformation scaledMap(const Transformation &map, QPointF unitScale, const Extent &extent, int corner, QPointF to,
                         bool keepRatio)
{
    const std::array<QPointF, 4> corners = extentCorners(extent);
    const QPointF dragged = corners[std::size_t(corner)];
    const QPointF opposite = corners[std::size_t((corner + 2) % 4)];
    const QPointF fixed = applyMap(map, unitScale, opposite);
    // Where the pointer asks the corner to be, seen along the map's own axes.
    const QPointF wanted = rotated(to - fixed, -double(map.rotation));
    const QPointF span = dragged - opposite;
    Transformation scaled = map;
    if (keepRatio) {
        const QPointF now(double(map.contraction[0]) * span.x(), double(map.contraction[1]) * span.y());
        const double length = QPointF::dotProduct(now, now);
        if (length == 0.0)
            return map;
        const double factor = QPointF::dotProduct(wanted, now) / length;
        scaled.contraction[0] = toSingleSaturated(double(map.contraction[0]) * factor);
        scaled.contraction[1] = toSingleSaturated(double(map.contraction[1]) * factor);
    } else {
        scaled.contraction[0] = toSingleSaturated(wanted.x() / span.x());
        scaled.contraction[1] = toSingleSaturated(wanted.y() / span.y());
    }
    placeAt(scaled, unitScale, opposite, fixed);
    return scaled;
}

Transformation rotatedMap(const Transformation &map, QPointF unitScale, const Extent &extent, QPointF from,
                          QPointF to, bool snap)
{
    const QPointF pivot = applyMap(map, unitScale, extent.centre());
    const QPointF start = from - pivot;
    const QPointF end = to - pivot;
    const double turned = std::atan2(cross(start, end), QPointF::dotProduct(start, end)) / degreesToRadians<double>();
    double degrees = double(map.rotation) + turned;
    if (snap)
        degrees = roundHalfEven(degrees / snapDegrees) * snapDegrees;
    Transformation turnedMap = map;
    turnedMap.rotation = toSingleSaturated(degrees);
    placeAt(turnedMap, unitScale, extent.centre(), pivot);
    return turnedMap;
}

} // namespace Vorlane
