#include "render/lesson/slowmotion.h"

#include "render/lesson/exactmaps.h"
#include "render/chaos/mapcolours.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <limits>
#include <vector>

namespace Vorlane {

namespace {

// Which map moved each point of a run there: the one that takes the point
// before it to it. Base points, where a chain restarts, have none.
// TODO(chaos core): take the map from the run's own choice.
class MapAttribution
{
public:
    MapAttribution(const FractalDocument &document, float scaleWidth, float scaleHeight)
        : m_maps(exactMaps(document, scaleWidth, scaleHeight))
        , m_halfWidth(double(scaleWidth) / 2.0)
        , m_halfHeight(double(scaleHeight) / 2.0)
        , m_centreX(document.centreX)
        , m_centreY(document.centreY)
        , m_resolution(document.settings.resolution)
    {
    }

    // Called for every point of the run in order, number 1 first.
    int mapOf(qint64 number, const PlottedPoint &point)
    {
        const std::pair<qint16, qint16> reached = fractalPoint(point);
        const std::pair<qint16, qint16> before = std::exchange(m_previous, reached);
        if (number == 1 || number % m_resolution == 0)
            return 0;
        for (std::size_t m = 0; m < m_maps.size(); ++m) {
            if (m_maps[m].apply(before.first, before.second) == reached)
                return int(m + 1);
        }
        return 0;
    }

private:
    std::pair<qint16, qint16> fractalPoint(const PlottedPoint &point) const
    {
        return {qint16(double(point.x) - m_halfWidth + m_centreX), qint16(m_halfHeight - double(point.y) + m_centreY)};
    }

    std::vector<ExactMap> m_maps;
    double m_halfWidth;
    double m_halfHeight;
    qint16 m_centreX;
    qint16 m_centreY;
    qint64 m_resolution;
    std::pair<qint16, qint16> m_previous{};
};

// Hands every point of a run, with its number and map, to a function.
class StepTarget : public RenderTarget
{
public:
    StepTarget(MapAttribution attribution, std::function<void(const RunStep &)> take)
        : m_attribution(std::move(attribution))
        , m_take(std::move(take))
    {
    }

    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (const PlottedPoint *point = points; point != points + count; ++point) {
            ++m_number;
            m_take({m_number, point->x, point->y, point->colour, m_attribution.mapOf(m_number, *point)});
        }
    }
    void progressStepDone(qint32) override {}

private:
    MapAttribution m_attribution;
    std::function<void(const RunStep &)> m_take;
    qint64 m_number = 0;
};

} // namespace

struct SlowMotionRun::Chain
{
    std::vector<RunStep> steps;
    std::size_t next = 0;
};

SlowMotionRun::SlowMotionRun(const FractalDocument &document, float scaleWidth, float scaleHeight,
                             const RandomGenerator &random)
    : m_chain(std::make_unique<Chain>())
{
    RandomGenerator copy = random;
    StepTarget target(MapAttribution(document, scaleWidth, scaleHeight),
                      [this](const RunStep &step) { m_chain->steps.push_back(step); });
    const qint64 last = std::min<qint64>(document.settings.totalPoints, mostSlowMotionPoints);
    renderStretch(document, scaleWidth, scaleHeight, {1, last}, 0, copy, target);
}

SlowMotionRun::~SlowMotionRun() = default;

bool SlowMotionRun::atEnd() const
{
    return m_chain->next >= m_chain->steps.size();
}

RunStep SlowMotionRun::next()
{
    return m_chain->steps[m_chain->next++];
}

void drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random)
{
    StepTarget target(MapAttribution(document, canvas.scaleWidth(), canvas.scaleHeight()), [&](const RunStep &step) {
        canvas.plot(step.x, step.y,
                    step.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(step.map - 1)));
    });
    renderFractal(document, canvas.scaleWidth(), canvas.scaleHeight(), random, target);
}

QRectF runExtent(const FractalDocument &document, float scaleWidth, float scaleHeight, const RandomGenerator &random,
                 qint64 points)
{
    SlowMotionRun run(document, scaleWidth, scaleHeight, random);
    float left = std::numeric_limits<float>::max(), top = left;
    float right = -left, bottom = -left;
    for (qint64 n = 0; n < points && !run.atEnd(); ++n) {
        const RunStep step = run.next();
        left = std::min(left, step.x);
        right = std::max(right, step.x);
        top = std::min(top, step.y);
        bottom = std::max(bottom, step.y);
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

std::array<QPointF, 4> mapFrame(const FractalDocument &document, int map, float scaleWidth, float scaleHeight,
                                const QRectF &extent)
{
    const Transformation &tr = document.transformations.at(map - 1);
    const double theta = double(toSingle(4.0 * std::atan(1.0) / 180.0)) * double(tr.rotation);
    const double halfWidth = double(scaleWidth) / 2.0;
    const double halfHeight = double(scaleHeight) / 2.0;
    const double shiftX = double(document.settings.scaleX) * double(tr.translation[0]) * double(scaleWidth);
    const double shiftY = double(document.settings.scaleY) * double(tr.translation[1]) * double(scaleHeight);
    const auto image = [&](QPointF position) {
        const double a = (position.x() - halfWidth + document.centreX) * double(tr.contraction[0]);
        const double b = (halfHeight - position.y() + document.centreY) * double(tr.contraction[1]);
        const double x = a * std::cos(theta) - b * std::sin(theta) + shiftX;
        const double y = a * std::sin(theta) + b * std::cos(theta) + shiftY;
        return QPointF(halfWidth + x - document.centreX, halfHeight - y + document.centreY);
    };
    return {image(extent.topLeft()), image(extent.topRight()), image(extent.bottomRight()), image(extent.bottomLeft())};
}

} // namespace Vorlane
