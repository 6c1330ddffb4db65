#pragma once

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/chaos/viewtransform.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <array>
#include <cmath>
#include <type_traits>

namespace Vorlane {

// A 64-bit value in the arithmetic's precision: rounded to a float, or kept.
template<typename Real>
Real inPrecision(double value)
{
    if constexpr (std::is_same_v<Real, float>)
        return toSingle(value);
    else
        return value;
}

// π / 180 in precision Real, π being 4 × arctan 1 in 64 bits.
template<typename Real>
Real degreesToRadians()
{
    return inPrecision<Real>(4.0 * std::atan(1.0) / 180.0);
}

// A transformation's rotation in radians, formed in 64 bits from π / 180 in
// precision Real: the window's renderer takes it with a float π / 180, the
// poster with a double one.
template<typename Real>
double rotationAngle(const Transformation &transformation)
{
    return double(degreesToRadians<Real>()) * double(transformation.rotation);
}

// The window's arithmetic: points in whole canvas units, a map's contraction
// rounded to a float, its rotation formed in 64 bits and rounded to a float,
// its translation, in canvas units, added and the sum rounded to a whole
// unit. Weights, the total and the random number scaled by it are floats.
class CanvasArithmetic
{
public:
    using Real = float;
    using Point = CanvasPoint;

    struct Map
    {
        float contractionX = 0.0f;
        float contractionY = 0.0f;
        double cosTheta = 1.0;
        double sinTheta = 0.0;
        double translationX = 0.0; // canvas units
        double translationY = 0.0;
    };

    explicit CanvasArithmetic(const ViewTransform &view)
        : m_view(view)
    {
    }

    Map map(const Transformation &transformation, double cosTheta, double sinTheta) const
    {
        return {transformation.contraction[0],
                transformation.contraction[1],
                cosTheta,
                sinTheta,
                m_view.translationX(transformation.translation[0]),
                m_view.translationY(transformation.translation[1])};
    }

    Point start(const BasePoint &base) const { return m_view.basePoint(base); }

    static Point apply(const Map &map, Point point)
    {
        // A 16-bit coordinate is exact as a float, so the float product is the
        // exact product rounded once.
        const float a = float(point.x) * map.contractionX;
        const float b = float(point.y) * map.contractionY;
        const float xRotated = toSingle(double(a) * map.cosTheta - double(b) * map.sinTheta);
        const float yRotated = toSingle(double(a) * map.sinTheta + double(b) * map.cosTheta);
        return {cint16(map.translationX + double(xRotated)), cint16(map.translationY + double(yRotated))};
    }

private:
    ViewTransform m_view;
};

// The poster's arithmetic: points in document units in double precision,
// each map one matrix x' = a·x + b·y + e, y' = c·x + d·y + f (the matrix the
// exchange formats write, too).
class PlaneArithmetic
{
public:
    using Real = double;

    struct Point
    {
        double x;
        double y;
    };

    struct Map
    {
        double a = 0.0, b = 0.0, c = 0.0, d = 0.0, e = 0.0, f = 0.0;
    };

    Map map(const Transformation &transformation, double cosTheta, double sinTheta) const
    {
        const double cx = double(transformation.contraction[0]);
        const double cy = double(transformation.contraction[1]);
        return {cx * cosTheta,
                -cy * sinTheta,
                cx * sinTheta,
                cy * cosTheta,
                double(transformation.translation[0]),
                double(transformation.translation[1])};
    }

    Point start(const BasePoint &base) const { return {double(base.x), double(base.y)}; }

    static Point apply(const Map &map, Point point)
    {
        return {map.a * point.x + map.b * point.y + map.e, map.c * point.x + map.d * point.y + map.f};
    }
};

// The number of entries 0 to count − 1 of a table of cumulative weights
// lying strictly below r × the total weight (entry count), that product
// rounded to precision Real. Weights are never negative, so the entries
// below are the first ones and the last of them is their count, worked out
// without a branch, which a random choice would mispredict (a NaN weight
// makes the total NaN, and no entry lies below).
template<typename Real>
int entriesBelow(const Real *cumulative, int count, float r)
{
    const Real scaled = inPrecision<Real>(double(r) * double(cumulative[count]));
    int below = 0;
    for (int j = 0; j < count; ++j)
        below += cumulative[j] < scaled ? 1 : 0;
    return below;
}

// The document's maps with everything that does not depend on the point
// worked out once, in the precision of Arithmetic: π / 180 (from 4 ×
// arctan 1 in 64 bits), each map's sine and cosine in 64 bits, and the table
// of cumulative weights, entry k the weights of maps 1 to k summed in 64 bits
// and held in the arithmetic's precision. Map 0 is the all-zero map, the
// choice before any other. The document must be renderable.
template<typename Arithmetic>
class PreparedMaps
{
public:
    using Real = typename Arithmetic::Real;
    using Point = typename Arithmetic::Point;
    using Map = typename Arithmetic::Map;

    PreparedMaps(const FractalDocument &document, const Arithmetic &arithmetic)
        : m_document(document)
        , m_arithmetic(arithmetic)
        , m_count(document.trCount())
    {
        for (int k = 1; k <= m_count; ++k) {
            const Transformation &transformation = document.transformations.at(k - 1);
            const double theta = rotationAngle<Real>(transformation);
            m_maps[k] = arithmetic.map(transformation, std::cos(theta), std::sin(theta));
            m_cumulative[k] = inPrecision<Real>(transformationWeight(transformation) + double(m_cumulative[k - 1]));
        }
    }

    // False when no random number can choose a map: no maps, or no weight.
    bool canChoose() const { return m_cumulative[m_count] > 0; }

    // The map that the random number r chooses, r × the total weight being
    // rounded to the arithmetic's precision: the last j whose entry j − 1 lies
    // strictly below it, previous when there is none.
    int choose(float r, int previous) const
    {
        const int below = entriesBelow(r);
        return below > 0 ? below : previous;
    }

    // The map r chooses, 0 for none.
    int entriesBelow(float r) const { return Vorlane::entriesBelow(m_cumulative.data(), m_count, r); }

    int count() const { return m_count; }
    const Map &map(int k) const { return m_maps[k]; }
    // Entry k of the table of cumulative weights, 0 to count().
    const Real *cumulativeWeights() const { return m_cumulative.data(); }

    Point apply(int map, Point point) const { return Arithmetic::apply(m_maps[map], point); }

    // A base point number, 1 to basePointCount, each as likely: one random
    // number drawn.
    qint16 randomBasePointNumber(RandomGenerator &random) const { return basePointNumber(random.next()); }

    // The base point number that the random number r draws.
    qint16 basePointNumber(float r) const
    {
        return qint16(floorToInt(double(r) * double(m_document.basePointCount())) + 1);
    }

    int basePointCount() const { return int(m_document.basePointCount()); }

    // Base point number (1 to basePointCount) in the arithmetic's units.
    Point basePoint(qint32 number) const { return m_arithmetic.start(m_document.basePoints.at(number - 1)); }

    // A checksum of the maps and the weights as this machine works them out
    // (sines and cosines come from the system's mathematics library), the
    // maps followed by the weights before each of the 50 maps.
    QByteArray checksum() const
    {
        std::array<Real, maxTransformations> before{};
        std::copy(m_cumulative.begin(), m_cumulative.begin() + m_count, before.begin());
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(m_maps.data()), qsizetype(sizeof(m_maps))));
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(before.data()), qsizetype(sizeof(before))));
        return hash.result();
    }

private:
    const FractalDocument &m_document;
    Arithmetic m_arithmetic;
    int m_count;
    std::array<Map, maxTransformations + 1> m_maps{};
    std::array<Real, maxTransformations + 1> m_cumulative{};
};

} // namespace Vorlane
