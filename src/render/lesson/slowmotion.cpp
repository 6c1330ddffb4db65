#include "render/lesson/slowmotion.h"

#include "render/lesson/exactmaps.h"
#include "render/chaos/mapcolours.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace Vorlane {

namespace {

class Collector : public RenderTarget
{
public:
    void plot(const PlottedPoint *points, qsizetype count) override { this->points.insert(this->points.end(), points, points + count); }
    void progressStepDone(qint32) override {}

    std::vector<PlottedPoint> points;
};

} // namespace

// TODO(chaos core): step the run's own chain instead of keeping its points.
struct SlowMotionRun::Chain
{
    FractalDocument document;
    double halfWidth;
    double halfHeight;
    std::vector<ExactMap> maps;
    std::vector<PlottedPoint> points;
    std::size_t next = 0;

    std::pair<qint16, qint16> fractalPoint(const PlottedPoint &point) const
    {
        return {qint16(double(point.x) - halfWidth + document.centreX), qint16(halfHeight - double(point.y) + document.centreY)};
    }

    int mapBefore(std::size_t n) const
    {
        if (n == 0 || (n + 1) % std::size_t(document.settings.resolution) == 0)
            return 0;
        const auto [x, y] = fractalPoint(points[n - 1]);
        const auto reached = fractalPoint(points[n]);
        for (std::size_t m = 0; m < maps.size(); ++m) {
            if (maps[m].apply(x, y) == reached)
                return int(m + 1);
        }
        return 0;
    }
};

SlowMotionRun::SlowMotionRun(const FractalDocument &document, float scaleWidth, float scaleHeight,
                             const RandomGenerator &random)
    : m_chain(std::make_unique<Chain>(
          Chain{document, double(scaleWidth) / 2.0, double(scaleHeight) / 2.0, exactMaps(document, scaleWidth, scaleHeight), {}}))
{
    RandomGenerator copy = random;
    Collector collector;
    renderFractal(document, scaleWidth, scaleHeight, copy, collector);
    m_chain->points = std::move(collector.points);
}

SlowMotionRun::~SlowMotionRun() = default;

bool SlowMotionRun::atEnd() const
{
    return m_chain->next >= m_chain->points.size();
}

RunStep SlowMotionRun::next()
{
    const std::size_t n = m_chain->next++;
    const PlottedPoint &point = m_chain->points[n];
    return {qint64(n) + 1, point.x, point.y, point.colour, m_chain->mapBefore(n)};
}

void drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random)
{
    SlowMotionRun run(document, canvas.scaleWidth(), canvas.scaleHeight(), random);
    while (!run.atEnd()) {
        const RunStep step = run.next();
        canvas.plot(step.x, step.y,
                    step.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(step.map - 1)));
    }
    random.discard(quint64(randomDrawsBefore(document, qint64(document.settings.totalPoints) + 1)));
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
