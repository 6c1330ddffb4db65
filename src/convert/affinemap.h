#pragma once

namespace Vorlane {

struct Transformation;

// An affine map of the plane as the exchange formats write it:
// x' = a x + b y + e, y' = c x + d y + f.
struct AffineMap
{
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    double e = 0.0;
    double f = 0.0;

    bool operator==(const AffineMap &) const = default;
};

// Canvas units per unit of the exchange formats: the height of the canvas the
// main window opens with. One length for both axes, so that a rotation stays a
// rotation when a map changes units.
double exchangeUnit();

// The map the renderer applies, with the rotation taken as the renderer takes
// it and the translation divided by unit.
AffineMap affineMap(const Transformation &transformation, double unit);

// The map's linear part as Vorlane holds one: a scaling along the axes
// (cx, cy, either may be negative to mirror), then a rotation.
struct LinearPart
{
    float contractionX = 0.0f;
    float contractionY = 0.0f;
    float rotation = 0.0f; // degrees, in (-180, 180]
    // The largest difference between a, b, c, d of the map and of the nearest
    // map; float rounding alone leaves it a few millionths of the largest of them.
    double error = 0.0;
    // The same before the rounding to floats: what the map's shear alone
    // accounts for.
    double shearError = 0.0;
};

// The nearest linear part Vorlane can hold, in least squares over a, b, c, d:
// the rotation θ = ½ atan2(2(ac − bd), a² − b² − c² + d²) and the
// contractions the map's images of the axes projected on the rotated axes.
// A map that scales along the axes and rotates comes back exactly, to float
// precision, with cx not negative.
LinearPart nearestLinearPart(const AffineMap &map);

// True when the linear part is the map's own, up to float rounding.
bool isExact(const LinearPart &part, const AffineMap &map);

// True when the map shears: no scaling along the axes and rotation, even in
// double precision, is the map.
bool shears(const LinearPart &part, const AffineMap &map);

// The largest factor by which the map stretches a length: its largest
// singular value.
double largestStretch(const AffineMap &map);

// The angle in degrees between the map's images of the X and Y axes: 90 for
// a map without shear.
double axesAngle(const AffineMap &map);

// The point the map leaves where it is, if it has exactly one.
bool fixedPoint(const AffineMap &map, double &x, double &y);

} // namespace Vorlane
