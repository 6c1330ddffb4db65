#include "renderer.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "pointcolour.h"

#include <QCoreApplication>

#include <array>
#include <cmath>
#include <vector>

namespace Vorlane {

namespace {

// A transformation with everything that does not depend on the point worked
// out once per run; the values are exactly those computed per iteration.
struct PreparedMap
{
    float contractionX = 0.0f;
    float contractionY = 0.0f;
    double cosTheta = 1.0;
    double sinTheta = 0.0;
    double translationX = 0.0; // canvas units
    double translationY = 0.0;
};

struct Point16
{
    qint16 x;
    qint16 y;
};

class Iteration
{
public:
    Iteration(const FractalDocument &document, float scaleWidth, float scaleHeight, RandomGenerator &random)
        : m_document(document)
        , m_random(random)
        , m_unitScaleX(toSingle(double(scaleWidth) * double(document.settings.scaleX)))
        , m_unitScaleY(toSingle(double(scaleHeight) * double(document.settings.scaleY)))
    {
        prepareMaps(scaleWidth, scaleHeight);
    }

    Point16 scaledBasePoint(qint32 number) const
    {
        const BasePoint &base = m_document.basePoints.at(number - 1);
        return {cint16(double(float(base.baseX)) * double(m_unitScaleX)),
                cint16(double(float(base.baseY)) * double(m_unitScaleY))};
    }

    qint16 randomBasePointNumber()
    {
        return qint16(floorToInt(double(m_random.next()) * double(m_document.basePointCount())) + 1);
    }

    // The last j whose table entry j − 1 lies strictly below r wins; with no
    // such j the previous choice stays (transformation 0 before the first).
    void chooseTransformation()
    {
        const float r = toSingle(double(m_random.next()) * double(m_cumulativeWeights[m_trCount]));
        for (int j = m_trCount; j >= 1; --j) {
            if (r > m_cumulativeWeights[j - 1]) {
                m_selected = j;
                return;
            }
        }
    }

    Point16 applyTransformation(Point16 point) const
    {
        const PreparedMap &map = m_maps[m_selected];
        // A 16-bit coordinate is exact as a float, so the float product is the
        // exact product rounded once.
        const float a = float(point.x) * map.contractionX;
        const float b = float(point.y) * map.contractionY;
        const float xRotated = toSingle(double(a) * map.cosTheta - double(b) * map.sinTheta);
        const float yRotated = toSingle(double(a) * map.sinTheta + double(b) * map.cosTheta);
        return {cint16(map.translationX + double(xRotated)), cint16(map.translationY + double(yRotated))};
    }

private:
    void prepareMaps(float scaleWidth, float scaleHeight)
    {
        const float degToRad = toSingle(4.0 * std::atan(1.0) / 180.0);
        const RenderSettings &settings = m_document.settings;
        m_trCount = m_document.trCount();
        for (int k = 1; k <= m_trCount; ++k) {
            const Transformation &tr = m_document.transformations.at(k - 1);
            const double theta = double(degToRad) * double(tr.trRotation);
            PreparedMap &map = m_maps[k];
            map.contractionX = tr.trContraction[0];
            map.contractionY = tr.trContraction[1];
            map.cosTheta = std::cos(theta);
            map.sinTheta = std::sin(theta);
            map.translationX = double(settings.scaleX) * double(tr.trTranslation[0]) * double(scaleWidth);
            map.translationY = double(settings.scaleY) * double(tr.trTranslation[1]) * double(scaleHeight);
            m_cumulativeWeights[k] = toSingle(double(tr.trContraction[0]) * double(tr.trContraction[1])
                                              + double(m_cumulativeWeights[k - 1]));
        }
    }

    const FractalDocument &m_document;
    RandomGenerator &m_random;
    float m_unitScaleX;
    float m_unitScaleY;
    int m_trCount = 0;
    int m_selected = 0;
    // Index 0 is the all-zero transformation, the fallback choice.
    std::array<PreparedMap, maxTransformations + 1> m_maps{};
    std::array<float, maxTransformations + 1> m_cumulativeWeights{};
};

// The colour of each point. Radiating colours depend only on the iterations
// since the last restart, so they are worked out once per run.
class PointColours
{
public:
    PointColours(const FractalDocument &document, RandomGenerator &random)
        : m_document(document)
        , m_random(random)
    {
        if (document.colours.colourStyle != RadiatingColour)
            return;
        m_byIteration.resize(document.settings.resolution);
        for (qint16 cir = 0; cir < document.settings.resolution; ++cir)
            m_byIteration[cir] = ptclr(document, random, 0, cir);
    }

    qint32 colour(qint32 a, qint16 cir)
    {
        return m_byIteration.empty() ? ptclr(m_document, m_random, a, cir) : m_byIteration[cir];
    }

private:
    const FractalDocument &m_document;
    RandomGenerator &m_random;
    std::vector<qint32> m_byIteration;
};

// Collects points so that the target is called once per batch, not per point.
class PointBatch
{
public:
    explicit PointBatch(RenderTarget &target)
        : m_target(target)
    {
    }
    ~PointBatch() { flush(); }

    void add(const PlottedPoint &point)
    {
        m_points[m_count++] = point;
        if (m_count == m_points.size())
            flush();
    }

    void flush()
    {
        if (m_count > 0)
            m_target.plot(m_points.data(), qsizetype(m_count));
        m_count = 0;
    }

private:
    RenderTarget &m_target;
    std::array<PlottedPoint, 4096> m_points;
    std::size_t m_count = 0;
};

} // namespace

QString renderProblem(const FractalDocument &document)
{
    const auto cannot = [](const QString &reason) {
        return QCoreApplication::translate("Renderer", "This fractal cannot be rendered: %1").arg(reason);
    };
    if (document.settings.resolution < 1)
        return cannot(QCoreApplication::translate("Renderer", "its resolution is %1, and it must be at least 1.")
                          .arg(document.settings.resolution));
    if (document.basePointCount() < 1)
        return cannot(QCoreApplication::translate("Renderer", "its base field has no points. Draw a base field first."));
    if (document.basePointCount() > maxBasePoints)
        return cannot(QCoreApplication::translate("Renderer", "its base field has %1 points, and at most %2 can be used.")
                          .arg(document.basePointCount())
                          .arg(maxBasePoints));
    if (document.trCount() > maxTransformations)
        return cannot(QCoreApplication::translate("Renderer", "it has %1 transformations, and at most %2 can be used.")
                          .arg(document.trCount())
                          .arg(maxTransformations));
    return QString();
}

qint32 progressStep(qint32 totalPoints)
{
    return qMax<qint32>(1, qint32(floorToInt(double(totalPoints) / 60.0)));
}

void renderFractal(const FractalDocument &document, float scaleWidth, float scaleHeight,
                   RandomGenerator &random, RenderTarget &target)
{
    Q_ASSERT(renderProblem(document).isEmpty());
    Iteration iteration(document, scaleWidth, scaleHeight, random);
    PointBatch batch(target);

    PointColours colours(document, random);

    const qint32 totalPoints = document.settings.totalPoints;
    const qint16 resolution = document.settings.resolution;
    const qint32 step = progressStep(totalPoints);
    const double halfWidth = double(scaleWidth) / 2.0;
    const double halfHeight = double(scaleHeight) / 2.0;
    qint32 stepsDone = 0;
    // Count-downs to the next multiple of resolution and of the progress step.
    qint32 untilRestart = resolution;
    qint32 untilProgress = step;

    qint16 cir = 0;
    Point16 point = iteration.scaledBasePoint(1);
    for (qint32 i = 1; i <= totalPoints; ++i) {
        if (--untilRestart == 0) {
            untilRestart = resolution;
            cir = 0;
            point = iteration.scaledBasePoint(iteration.randomBasePointNumber());
        } else {
            ++cir;
        }
        const qint32 colour = colours.colour(i, cir);
        batch.add({toSingle(halfWidth + point.x - document.centreX),
                   toSingle(halfHeight - point.y + document.centreY), colour});
        iteration.chooseTransformation();
        point = iteration.applyTransformation(point);
        if (--untilProgress == 0) {
            untilProgress = step;
            batch.flush();
            target.progressStepDone(++stepsDone);
        }
    }
}

} // namespace Vorlane
