#pragma once

#include "render/chaos/preparedmaps.h"

#include <QtGlobal>

#include <array>
#include <cstddef>

namespace Vorlane {

// The poster's maps, one array per coefficient so that vector lanes can
// look them up. Index 0 is the all-zero map, the fallback choice.
struct PlaneMaps
{
    explicit PlaneMaps(const PreparedMaps<PlaneArithmetic> &maps);

    static constexpr std::size_t size = maxTransformations + 1;
    int count = 1; // maps in use, index 0 included
    std::array<double, size> a{}, b{}, c{}, d{}, e{}, f{};
};

// Iterations begin to end − 1 of a block, between two restarts, with the
// point the chain stands at: before stepping where it starts, after it where
// its last iteration moved it.
struct PlaneChain
{
    qint32 begin;
    qint32 end;
    PlaneArithmetic::Point point;
};

// How chains are stepped, maps chosen and points splatted and added: in plain
// code, four at a time in AVX2's lanes or eight at a time in AVX-512's. All
// give the same numbers bit for bit.
enum class PosterStepping { Scalar, FourLanes, EightLanes };

// The widest lanes this processor has.
PosterStepping fastestPosterStepping();

// stepping where this processor has it, else the scalar code.
PosterStepping availablePosterStepping(PosterStepping stepping);

// Steps every chain through its iterations: iteration n records the point it
// plots in xs[n] and ys[n], then moves it by the map mapIndices[n], as
// PlaneArithmetic::apply does.
void stepPlaneChains(PosterStepping stepping, const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains,
                     std::size_t count, double *xs, double *ys);

// For each of count random numbers the map it chooses, 0 for none:
// entriesBelow of the maps' table of cumulative weights (trCount + 1 entries).
void countPlaneEntriesBelow(PosterStepping stepping, const double *cumulativeWeights, int trCount,
                            const float *numbers, quint8 *chosen, std::size_t count);

} // namespace Vorlane
