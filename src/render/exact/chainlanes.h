#pragma once

#include "document/fractaldocument.h"
#include "render/chaos/preparedmaps.h"
#include "render/chaos/viewtransform.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <vector>

namespace Vorlane {

// The prepared maps of a run, one array per value so that vector lanes can
// gather them, and the base points its chains restart from. Index 0 is the
// all-zero transformation, the fallback choice.
struct SteppingMaps
{
    SteppingMaps() = default;
    explicit SteppingMaps(const PreparedMaps<CanvasArithmetic> &maps);

    static constexpr std::size_t size = maxTransformations + 1;
    int count = 1; // maps in use, index 0 included
    std::array<float, size> contractionX{};
    std::array<float, size> contractionY{};
    std::array<double, size> cosTheta{};
    std::array<double, size> sinTheta{};
    std::array<double, size> translationX{}; // canvas units
    std::array<double, size> translationY{};
    std::vector<CanvasPoint> basePoints; // number k at k − 1, in canvas units
};

// Iterations begin to end − 1 of a block, between two restarts, with the
// point the chain stands at: before stepping where it starts, after it where
// its last iteration moved it.
struct Chain
{
    qint32 begin;
    qint32 end;
    CanvasPoint point;
};

// How chains are stepped and maps chosen: in plain code, or eight at a time in
// the processor's vector lanes. Both give the same numbers bit for bit.
enum class ChainStepping { Scalar, Lanes };

// Lanes where this processor has them (AVX2), otherwise Scalar.
ChainStepping fastestChainStepping();

// Map k of maps applied to point: CanvasArithmetic::apply, the reference
// that the lanes' arithmetic follows bit for bit.
CanvasPoint applyMap(const SteppingMaps &maps, int k, CanvasPoint point);

// Steps every chain through its iterations: iteration n records the point it
// plots in points[n], then moves it by the map transformations[n].
void stepChains(ChainStepping stepping, const SteppingMaps &maps, const quint8 *transformations, Chain *chains,
                std::size_t count, CanvasPoint *points);

// For each of count random numbers (in [0, 1)) the map PreparedMaps::choose
// picks: the one entriesBelow works out from the first trCount entries of
// the ascending cumulative weight table, or where that is none, the map
// chosen before (selected before the first number). Returns the map chosen
// last.
int chooseMaps(ChainStepping stepping, const float *cumulativeWeights, int trCount, const float *numbers,
               quint8 *chosen, std::size_t count, int selected);

// The place of the pixel of each of count points on a canvas of width ×
// height pixels, row × stride + column (ViewTransform::column and row), or
// −1 for a point off the canvas. stride × height must stay below 2^31.
void pixelOffsets(ChainStepping stepping, const ViewTransform &view, const CanvasPoint *points, qint32 count,
                  qint32 width, qint32 height, qint32 stride, qint32 *offsets);

} // namespace Vorlane
