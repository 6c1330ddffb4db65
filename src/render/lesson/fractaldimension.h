#pragma once

#include <QList>
#include <QString>

#include <array>

namespace Vorlane {

struct FractalDocument;

// The linear part of a map as the renderer applies it to a point:
// rotation × diag(contraction X, contraction Y), row by row.
using LinearPart = std::array<double, 4>;

// The two singular values of a linear part, largest first: how much it
// stretches along the direction it stretches most and least.
std::array<double, 2> singularValues(const LinearPart &matrix);

// The D with sum(ratios[i]^D) = 1, the dimension of a self-similar fractal
// whose copies do not overlap. Every ratio must lie in [0, 1); ratios of 0
// count for nothing, and fewer than two others give 0.
double similarityDimension(const QList<double> &ratios);

// The s at which the sum over every composition w of wordLength maps of the
// singular value function phi^s(A_w) is 1, where phi^s(A) = a1^s for s <= 1,
// a1 * a2^(s - 1) for 1 <= s <= 2 and (a1 a2)^(s / 2) beyond, a1 >= a2 being
// A's singular values. It falls towards the affinity dimension as wordLength
// grows and never lies below it. Every map must shrink (a1 < 1).
double affinityDimensionBound(const QList<LinearPart> &maps, int wordLength);

// Each map's weight (transformationWeight) in percent of all maps' weights;
// all 0 when no map has weight.
QList<double> weightPercents(const FractalDocument &document);

// What can be said of a document's maps.
struct MapsDimension
{
    enum Kind { Similarity, Affinity, None };
    Kind kind = None;
    double value = 0.0;
    int wordLength = 0; // for Affinity: the compositions' length used
    QString explanation; // for the user, in a sentence or two
};

// The similarity dimension when every map is a similarity (|contraction X| =
// |contraction Y|), else an upper estimate of the affinity dimension from
// compositions of as many maps as stay quick to list; None, with the reason,
// when a map does not shrink.
MapsDimension mapsDimension(const FractalDocument &document);

} // namespace Vorlane
