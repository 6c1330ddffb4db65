#include "render/lesson/slowmotion.h"

#include "render/chaos/chaosgame.h"
#include "render/chaos/mapcolours.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/rastercanvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vorlane {

// A run's own chain, stepped as the run steps it, with the map that moved
// each point there: the one the point before chose.
struct SlowMotionRun::Chain
{
    Chain(const FractalDocument &runDocument, float scaleWidth, float scaleHeight, const RandomGenerator &start)
        : document(runDocument)
        , view(document, scaleWidth, scaleHeight)
        , game(canvasChaosGame(document, view))
        , random(start)
        , chain(game, random)
    {
    }

    RunStep next()
    {
        const ChaosChain<CanvasArithmetic>::Step step = chain.next();
        const CanvasPosition position = view.position(step.point);
        const int map = step.restarted || step.number == 1 ? 0 : chosen;
        chosen = step.map;
        return {step.number, position.x, position.y, step.colour, map};
    }

    const FractalDocument document;
    const ViewTransform view;
    const CanvasChaosGame game;
    RandomGenerator random;
    ChaosChain<CanvasArithmetic> chain;
    int chosen = 0;
};

SlowMotionRun::SlowMotionRun(const FractalDocument &document, float scaleWidth, float scaleHeight,
                             const RandomGenerator &random)
    : m_chain(std::make_unique<Chain>(document, scaleWidth, scaleHeight, random))
    , m_last(std::min<qint64>(document.settings.totalPoints, mostSlowMotionPoints))
{
}

SlowMotionRun::~SlowMotionRun() = default;

bool SlowMotionRun::atEnd() const
{
    return m_done >= m_last;
}

RunStep SlowMotionRun::next()
{
    ++m_done;
    return m_chain->next();
}

void drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random)
{
    SlowMotionRun::Chain run(document, canvas.scaleWidth(), canvas.scaleHeight(), random);
    for (qint64 n = 0; n < document.settings.totalPoints; ++n) {
        const RunStep step = run.next();
        canvas.plot(step.x, step.y,
                    step.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(step.map - 1)));
    }
    random = run.random;
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
    const Transformation &transformation = document.transformations.at(map - 1);
    const ViewTransform view(document, scaleWidth, scaleHeight);
    const double theta = rotationAngle<float>(transformation);
    const double halfWidth = double(scaleWidth) / 2.0;
    const double halfHeight = double(scaleHeight) / 2.0;
    // In double precision: a frame is drawn, not plotted point by point.
    const auto image = [&](QPointF position) {
        const double a = (position.x() - halfWidth + document.centreX) * double(transformation.contraction[0]);
        const double b = (halfHeight - position.y() + document.centreY) * double(transformation.contraction[1]);
        const double x = a * std::cos(theta) - b * std::sin(theta) + view.translationX(transformation.translation[0]);
        const double y = a * std::sin(theta) + b * std::cos(theta) + view.translationY(transformation.translation[1]);
        return QPointF(halfWidth + x - document.centreX, halfHeight - y + document.centreY);
    };
    return {image(extent.topLeft()), image(extent.topRight()), image(extent.bottomRight()), image(extent.bottomLeft())};
}

} // namespace Vorlane
