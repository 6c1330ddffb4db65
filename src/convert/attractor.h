#pragma once

#include "convert/affinemap.h"

#include <QList>
#include <QPointF>
#include <QRectF>

// Where the attractor of a set of affine maps lies: the set that the maps,
// picked at random again and again, draw.
namespace Vorlane {

struct Attractor
{
    // A point of the attractor where a random walk of the maps spends its
    // time: the end of a long walk from the fixed point of the map of the
    // largest area (or from where a few dozen steps lead when that map has
    // no fixed point), not a fixed point the walk hardly ever comes near.
    QPointF point;
    // The smallest box around the attractor: found to a ten-thousandth of the
    // attractor's size and never smaller than it, unless maps that shrink very
    // slowly, or not at all, keep a bounded search from closing in; then the
    // box holds the attractor's points the search and the walk found.
    QRectF bounds;
};

// Where the attractor of the maps lies. maps must not be empty.
Attractor locateAttractor(const QList<AffineMap> &maps);

} // namespace Vorlane
