#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

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
inline double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

// True when value rounds half to even into a 16-bit signed integer.
inline bool fitsInt16(double value)
{
    const double rounded = roundHalfEven(value);
    return rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max();
}

// CInt into 16 bits, saturating at the limits; NaN becomes 0.
inline qint16 cint16(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = roundHalfEven(value);
    if (rounded <= std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    if (rounded >= std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    return static_cast<qint16>(rounded);
}

// CLng into 32 bits, saturating at the limits; NaN becomes 0.
inline qint32 cint32(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = roundHalfEven(value);
    if (rounded <= std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (rounded >= std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(rounded);
}

// Int: rounds towards minus infinity. The caller guarantees a finite value
// within the 64-bit range.
inline qint64 floorToInt(double value)
{
    return static_cast<qint64>(std::floor(value));
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
