#include "convert/affinemap.h"

#include "common/rounding.h"
#include "document/canvasunits.h"
#include "document/fractaldocument.h"
#include "render/chaos/preparedmaps.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace Vorlane {

namespace {

// Float rounding of the contractions and the rotation moves a, b, c, d by a
// few parts in ten million of their largest; anything more is the map's own.
constexpr double exactTolerance = 1e-6;

double largestLinear(const AffineMap &map)
{
    return std::max({std::abs(map.a), std::abs(map.b), std::abs(map.c), std::abs(map.d)});
}

} // namespace

double exchangeUnit()
{
    return double(startupCanvasSize().height()) * canvasUnitsPerPixel;
}

AffineMap affineMap(const Transformation &transformation, double unit)
{
    // The window renderer's angle, so that a map written out is the map it
    // draws.
    const double theta = rotationAngle<float>(transformation);
    const PlaneArithmetic::Map map = PlaneArithmetic().map(transformation, std::cos(theta), std::sin(theta));
    // Adding 0.0 turns a negative zero into a plain one.
    return {map.a + 0.0, map.b + 0.0, map.c + 0.0, map.d + 0.0, map.e / unit + 0.0, map.f / unit + 0.0};
}

LinearPart nearestLinearPart(const AffineMap &map)
{
    const double theta = 0.5 * std::atan2(2.0 * (map.a * map.c - map.b * map.d),
                                          map.a * map.a - map.b * map.b - map.c * map.c + map.d * map.d);
    double cx = map.a * std::cos(theta) + map.c * std::sin(theta);
    double cy = map.d * std::cos(theta) - map.b * std::sin(theta);
    double degrees = theta / double(degreesToRadians<float>());
    if (cx < 0.0) {
        cx = -cx;
        cy = -cy;
        degrees += degrees > 0.0 ? -180.0 : 180.0;
    }
    LinearPart part;
    part.contractionX = toSingle(cx);
    part.contractionY = toSingle(cy);
    part.rotation = toSingle(degrees) == -180.0f ? 180.0f : toSingle(degrees);

    Transformation held;
    held.contraction = {part.contractionX, part.contractionY};
    held.rotation = part.rotation;
    const AffineMap back = affineMap(held, 1.0);
    part.error = std::max({std::abs(back.a - map.a), std::abs(back.b - map.b), std::abs(back.c - map.c),
                           std::abs(back.d - map.d)});
    return part;
}

bool isExact(const LinearPart &part, const AffineMap &map)
{
    return part.error <= exactTolerance * largestLinear(map);
}

double axesAngle(const AffineMap &map)
{
    const double lengths = std::hypot(map.a, map.c) * std::hypot(map.b, map.d);
    if (lengths == 0.0)
        return 90.0;
    const double cosine = std::clamp((map.a * map.b + map.c * map.d) / lengths, -1.0, 1.0);
    return std::acos(cosine) * 180.0 / M_PI;
}

bool fixedPoint(const AffineMap &map, double &x, double &y)
{
    // (I − A) p = t, by Cramer's rule.
    const double det = (1.0 - map.a) * (1.0 - map.d) - map.b * map.c;
    if (!(std::abs(det) > 1e-12))
        return false;
    x = (map.e * (1.0 - map.d) + map.b * map.f) / det;
    y = ((1.0 - map.a) * map.f + map.c * map.e) / det;
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace Vorlane
