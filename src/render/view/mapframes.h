#pragma once

#include "render/view/viewport.h"

#include <QPointF>

#include <array>

namespace Vorlane {

struct FractalDocument;
struct Transformation;

// Canvas units per document unit along X and Y at zoom 1: what a map's
// translation is multiplied by to act on fractal units.
QPointF unitScale(const FractalDocument &document, float scaleWidth, float scaleHeight);

// Where one map puts a copy of the whole picture: the image under the map of
// the picture's extent, a parallelogram in fractal units. Corner 0 is the
// image of the extent's top-left corner, then top right, bottom right and
// bottom left, so a mirror or a turn shows in where corner 0 lies.
struct MapFrame
{
    std::array<QPointF, 4> corners;

    QPointF centre() const { return (corners[0] + corners[2]) / 2.0; }
};

// The image under an affine map, as the renderer applies it but in double
// precision, of a point in fractal units.
QPointF applyMap(const Transformation &map, QPointF unitScale, QPointF point);

MapFrame mapFrame(const Transformation &map, QPointF unitScale, const Extent &extent);

// The three ways a map's frame is dragged. Each gives the map as it is with
// the pointer at `to`, having been pressed at `from` (in fractal units) on the
// map as it was then; the map keeps all it had but the values the drag is
// about.
//
// Moving: the translation follows the pointer.
Transformation movedMap(const Transformation &map, QPointF unitScale, QPointF from, QPointF to);
// Scaling by corner `corner` (0 to 3 as in MapFrame): the contractions change
// so that the corner follows the pointer along the map's own axes while the
// opposite corner stays where it is; the translation moves with it. Past the
// opposite corner a contraction turns negative, a mirror. keepRatio scales
// both contractions by one factor, the one that brings the corner nearest to
// the pointer.
Transformation scaledMap(const Transformation &map, QPointF unitScale, const Extent &extent, int corner, QPointF to,
                         bool keepRatio);
// Turning: the rotation grows by the angle the pointer turned through about
// the frame's centre, which stays where it is; snap rounds the rotation to
// whole multiples of snapDegrees.
constexpr double snapDegrees = 15.0;
Transformation rotatedMap(const Transformation &map, QPointF unitScale, const Extent &extent, QPointF from,
                          QPointF to, bool snap);

} // namespace Vorlane
