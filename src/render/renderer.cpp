#include "renderer.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colourstyles.h"
#include "document/fractaldocument.h"
#include "pointcolour.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
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
    quint8 chooseTransformation()
    {
        const float r = toSingle(double(m_random.next()) * double(m_cumulativeWeights[m_trCount]));
        const int chosen = m_weightsAscend ? countEntriesBelow(r) : lastEntryBelow(r);
        if (chosen > 0)
            m_selected = quint8(chosen);
        return m_selected;
    }

    Point16 applyTransformation(quint8 selected, Point16 point) const
    {
        const PreparedMap &map = m_maps[selected];
        // A 16-bit coordinate is exact as a float, so the float product is the
        // exact product rounded once.
        const float a = float(point.x) * map.contractionX;
        const float b = float(point.y) * map.contractionY;
        const float xRotated = toSingle(double(a) * map.cosTheta - double(b) * map.sinTheta);
        const float yRotated = toSingle(double(a) * map.sinTheta + double(b) * map.cosTheta);
        return {cint16(map.translationX + double(xRotated)), cint16(map.translationY + double(yRotated))};
    }

private:
    // With no negative weight the entries below r are the first ones, so the
    // last of them is their count: worked out without a branch, which a
    // random choice would mispredict.
    int countEntriesBelow(float r) const
    {
        int count = 0;
        for (int j = 0; j < m_trCount; ++j)
            count += m_cumulativeWeights[j] < r ? 1 : 0;
        return count;
    }

    int lastEntryBelow(float r) const
    {
        for (int j = m_trCount; j >= 1; --j) {
            if (r > m_cumulativeWeights[j - 1])
                return j;
        }
        return 0;
    }

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
            m_weightsAscend = m_weightsAscend && m_cumulativeWeights[k] >= m_cumulativeWeights[k - 1];
        }
    }

    const FractalDocument &m_document;
    RandomGenerator &m_random;
    float m_unitScaleX;
    float m_unitScaleY;
    int m_trCount = 0;
    bool m_weightsAscend = true;
    quint8 m_selected = 0;
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
        const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
        if (!style || !style->byIterationOnly)
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

// What one iteration does besides moving its point. None of it depends on
// the point, so a block's worth is drawn from the random sequence first, in
// the order the iterations draw: the restart's base point, the colour, the
// choice of transformation.
struct IterationPlan
{
    qint32 colour;
    qint16 restartFrom; // the base point a restart begins at; 0 for none
    quint8 transformation;
};

// A run of iterations between two restarts, with the point it has reached.
struct Chain
{
    qint32 begin;
    qint32 end;
    Point16 point;
};

class BlockRenderer
{
public:
    // Long enough to keep the target's calls rare, short enough to stay in cache.
    static constexpr qint32 blockSize = 4096;

    BlockRenderer(const FractalDocument &document, float scaleWidth, float scaleHeight, RandomGenerator &random)
        : m_document(document)
        , m_iteration(document, scaleWidth, scaleHeight, random)
        , m_colours(document, random)
        , m_halfWidth(double(scaleWidth) / 2.0)
        , m_halfHeight(double(scaleHeight) / 2.0)
        , m_untilRestart(document.settings.resolution)
        , m_point(m_iteration.scaledBasePoint(1))
    {
    }

    // Plans and moves the next count iterations, the first of them number
    // first, and hands their points to the target.
    void render(qint32 first, qint32 count, RenderTarget &target)
    {
        plan(first, count);
        moveChains(count);
        target.plot(m_points.data(), count);
    }

private:
    void plan(qint32 first, qint32 count)
    {
        const qint16 resolution = m_document.settings.resolution;
        for (qint32 n = 0; n < count; ++n) {
            IterationPlan &plan = m_plans[n];
            plan.restartFrom = 0;
            if (--m_untilRestart == 0) {
                m_untilRestart = resolution;
                m_cir = 0;
                plan.restartFrom = m_iteration.randomBasePointNumber();
            } else {
                ++m_cir;
            }
            plan.colour = m_colours.colour(first + n, m_cir);
            plan.transformation = m_iteration.chooseTransformation();
        }
    }

    // Each restart begins a chain that owes nothing to the one before, so
    // several chains are moved side by side and the processor overlaps them.
    void moveChains(qint32 count)
    {
        m_chains.clear();
        m_chains.push_back({0, count, m_point});
        for (qint32 n = 0; n < count; ++n) {
            if (m_plans[n].restartFrom == 0)
                continue;
            if (n == 0)
                m_chains.pop_back();
            else
                m_chains.back().end = n;
            m_chains.push_back({n, count, m_iteration.scaledBasePoint(m_plans[n].restartFrom)});
        }
        constexpr std::size_t sideBySide = 4;
        for (std::size_t c = 0; c < m_chains.size(); c += sideBySide)
            moveSideBySide(m_chains.data() + c, qMin(sideBySide, m_chains.size() - c));
        m_point = m_chains.back().point;
    }

    void moveSideBySide(Chain *chains, std::size_t chainCount)
    {
        for (qint32 step = 0;; ++step) {
            bool moved = false;
            for (Chain *chain = chains; chain != chains + chainCount; ++chain) {
                const qint32 n = chain->begin + step;
                if (n >= chain->end)
                    continue;
                const IterationPlan &plan = m_plans[n];
                m_points[n] = {toSingle(m_halfWidth + chain->point.x - m_document.centreX),
                               toSingle(m_halfHeight - chain->point.y + m_document.centreY), plan.colour};
                chain->point = m_iteration.applyTransformation(plan.transformation, chain->point);
                moved = true;
            }
            if (!moved)
                return;
        }
    }

    const FractalDocument &m_document;
    Iteration m_iteration;
    PointColours m_colours;
    const double m_halfWidth;
    const double m_halfHeight;
    qint32 m_untilRestart; // to the next multiple of resolution
    qint16 m_cir = 0;
    Point16 m_point; // where the next iteration starts unless it restarts
    std::array<IterationPlan, blockSize> m_plans;
    std::array<PlottedPoint, blockSize> m_points;
    std::vector<Chain> m_chains;
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
    // Large: it holds a block of plans and points.
    const auto renderer = std::make_unique<BlockRenderer>(document, scaleWidth, scaleHeight, random);
    const qint32 totalPoints = document.settings.totalPoints;
    const qint32 step = progressStep(totalPoints);
    qint32 untilProgress = step;
    qint32 stepsDone = 0;
    for (qint32 first = 1; first <= totalPoints;) {
        const qint32 count = std::min({BlockRenderer::blockSize, untilProgress, totalPoints - first + 1});
        renderer->render(first, count, target);
        first += count;
        untilProgress -= count;
        if (untilProgress == 0) {
            untilProgress = step;
            target.progressStepDone(++stepsDone);
        }
    }
}

} // namespace Vorlane
