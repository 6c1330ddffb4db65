#include "render/lesson/slowmotion.h"

#include "render/chaos/chaosgame.h"
#include "render/chaos/mapcolours.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"
#include "render/exact/stretches.h"

#include <algorithm>

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

bool drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random, const RunControl &run)
{
    const RandomGenerator start = random;
    SlowMotionRun::Chain chain(document, canvas.scaleWidth(), canvas.scaleHeight(), random);
    const qint64 totalPoints = document.settings.totalPoints;
    const qint64 pointsPerStep = progressStep(document.settings.totalPoints);
    for (qint64 n = 1; n <= totalPoints; ++n) {
        const RunStep step = chain.next();
        canvas.plot(step.x, step.y,
                    step.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(step.map - 1)));
        if (n % pointsPerStep != 0)
            continue;
        if (run.onPrefixDrawn)
            run.onPrefixDrawn(n);
        if (run.onProgress)
            run.onProgress(n / pointsPerStep, totalPoints / pointsPerStep);
        if (run.stopped() && n < totalPoints) {
            // As a stopped rendering does: what follows does not depend on when it stopped.
            random = start;
            random.discard(quint64(randomDrawsBefore(document, totalPoints + 1)));
            return false;
        }
    }
    random = chain.random;
    return true;
}

} // namespace Vorlane
