#pragma once

#include "document/fractaldocument.h"

#include <QtGlobal>

#include <array>
#include <cstddef>

namespace Vorlane {

// A point of the exact renderer, in whole canvas units.
struct Point16
{
    qint16 x;
    qint16 y;
};

// The maps of a run with everything that does not depend on the point worked
// out once, one array per value so that vector lanes can gather them. Index
// 0 is the all-zero transformation, the fallback choice.
struct SteppingMaps
{
    static constexpr std::size_t size = maxTransformations + 1;
    int count = 1; // maps in use, index 0 included
    std::array<float, size> contractionX{};
    std::array<float, size> contractionY{};
    std::array<double, size> cosTheta{};
    std::array<double, size> sinTheta{};
    std::array<double, size> translationX{}; // canvas units
    std::array<double, size> translationY{};
};

// Iterations begin to end − 1 of a block, between two restarts, with the
// point the chain stands at: before stepping where it starts, after it where
// its last iteration moved it.
struct Chain
{
    qint32 begin;
    qint32 end;
    Point16 point;
};

// How chains are stepped and maps chosen: in plain code, or eight at a time in
// the processor's vector lanes. Both give the same numbers bit for bit.
enum class ChainStepping { Scalar, Lanes };

// Lanes where this processor has them (AVX2), otherwise Scalar.
ChainStepping fastestChainStepping();

// Map k of maps applied to point, with the exact renderer's rounding: the
// contraction in float, the rotation in double rounded to float, the
// translation in double and the sum rounded half to even into 16 bits.
Point16 applyMap(const SteppingMaps &maps, int k, Point16 point);

// Steps every chain through its iterations: iteration n records the point it
// plots in points[n], then moves it by the map transformations[n].
void stepChains(ChainStepping stepping, const SteppingMaps &maps, const quint8 *transformations, Chain *chains,
                std::size_t count, Point16 *points);

// For each of count random numbers (in [0, 1)) the number of entries among
// the first trCount of the ascending cumulative weight table that lie below
// r = the number × entry trCount, rounded to float: the map it chooses, 0
// for none.
void countEntriesBelow(ChainStepping stepping, const float *cumulativeWeights, int trCount, const float *numbers,
                       quint8 *chosen, std::size_t count);

// The pixel of a point, in integers. A canvas W = 15 × width units wide puts
// the point x at X = W / 2 + x − centreX, a whole or half unit, on the pixel
// floor(X / 15); 2X is a whole number, and floor(X / 15) = floor(2X / 30)
// exactly. An offset of 30 × 65536 keeps every 2X of 16-bit values positive,
// so the division is that of unsigned numbers.
class PixelMapping
{
public:
    PixelMapping(int width, int height, qint16 centreX, qint16 centreY)
        : m_columnBase(15 * width - 2 * centreX + offset)
        , m_rowBase(15 * height + 2 * centreY + offset)
    {
    }

    int column(qint16 x) const { return int(quint32(m_columnBase + 2 * x) / 30u) - offsetPixels; }
    int row(qint16 y) const { return int(quint32(m_rowBase - 2 * y) / 30u) - offsetPixels; }

    // The columns and rows of count points.
    void pixels(ChainStepping stepping, const Point16 *points, qint32 count, qint32 *columns, qint32 *rows) const;

private:
    static constexpr qint32 offsetPixels = 65536;
    static constexpr qint32 offset = 30 * offsetPixels;
    const qint32 m_columnBase;
    const qint32 m_rowBase;
};

} // namespace Vorlane
