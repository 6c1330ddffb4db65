#pragma once

#include "affinemap.h"

#include <QList>
#include <QPointF>
#include <QRectF>

// Where the attractor of a set of affine maps lies: the set that the maps,
// picked at random again and again, draw.
namespace Vorlane {

// A point of the attractor: the fixed point of maps[heaviest] when it has
// one, else a point that a few dozen steps of the maps have brought next to
// the attractor. maps must not be empty.
QPointF pointOnAttractor(const QList<AffineMap> &maps, qsizetype heaviest);

// The smallest box around the attractor, found to a ten-thousandth of the
// attractor's size and never smaller than the attractor, given a point on it.
// When a map does not shrink every length, the box holds what a bounded
// search of the attractor found.
QRectF attractorBounds(const QList<AffineMap> &maps, QPointF onAttractor);

} // namespace Vorlane
