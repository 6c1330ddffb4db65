#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The rounding rules every picture depends on. Each conversion that the
// program's arithmetic makes goes through one of these, so that the same
// document gives the same pixels on every machine.
namespace Vorlane {

// Rounds to a 32-bit float, to nearest with ties to even.
inline float toSingle(double value)
{
    return static_cast<float>(value);
}

// A typed value as a 32-bit float that never becomes an infinity or NaN:
// beyond the float range it is the largest finite float of its sign.
inline float toSingleSaturated(double value)
{
    if (std::isnan(value))
        return 0.0f;
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(qBound(-largest, value, largest));
}

// Rounds to the nearest integer, halves to the even neighbour (CInt).
// Adding and removing 1.5 × 2^52 leaves a sum whose last bit is the unit, so
// the hardware's round-to-nearest-even does the work without a library call.
inline double roundHalfEven(double value)
{
    constexpr double shifter = 6755399441055744.0; // 1.5 × 2^52
    constexpr double exactBelow = 2251799813685248.0; // 2^51
    if (!(std::fabs(value) < exactBelow))
        return std::nearbyint(value); // large, infinite or NaN
    return (value + shifter) - shifter;
}

// True when value rounds half to even into a 16-bit signed integer.
inline bool fitsInt16(double value)
{
    const double rounded = roundHalfEven(value);
    return rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max();
}

// CInt into 16 bits, saturating at the limits; NaN becomes 0. The value is
// first held just inside the values that round to the limits; rounding itself
// is the processor's own, to nearest with ties to even.
inline qint16 cint16(double value)
{
    constexpr double lowest = -32768.5;                 // rounds to -32768, the even neighbour
    constexpr double highest = 0x1.fffdfffffffffp+14; // the double just below 32767.5
#if defined(__SSE2__)
    // Without a branch, as the renderer needs it: maxsd and minsd pass a NaN
    // in their second operand through, and the conversion turns NaN into
    // 0x80000000, whose low 16 bits are 0.
    const __m128d held = _mm_min_sd(_mm_set_sd(highest), _mm_max_sd(_mm_set_sd(lowest), _mm_set_sd(value)));
    return static_cast<qint16>(_mm_cvtsd_si32(held));
#else
    if (std::isnan(value))
        return 0;
    return static_cast<qint16>(roundHalfEven(value < lowest ? lowest : (value > highest ? highest : value)));
#endif
}

// CLng into 32 bits, saturating at the limits; NaN becomes 0.
inline qint32 cint32(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    const double rounded = roundHalfEven(qBound(lowest - 1.0, value, highest + 1.0));
    return static_cast<qint32>(qBound(lowest, rounded, highest));
}

// Int: rounds towards minus infinity. The caller guarantees a finite value
// within the 64-bit range.
inline qint64 floorToInt(double value)
{
    const auto truncated = static_cast<qint64>(value);
    return truncated - (static_cast<double>(truncated) > value ? 1 : 0);
}

// Adds in 16 bits, saturating instead of wrapping.
inline qint16 addInt16Saturated(qint16 a, int b)
{
    const int sum = int(a) + b;
    constexpr int lowest = std::numeric_limits<qint16>::min();
    constexpr int highest = std::numeric_limits<qint16>::max();
    return static_cast<qint16>(qBound(lowest, sum, highest));
}

} // namespace Vorlane
