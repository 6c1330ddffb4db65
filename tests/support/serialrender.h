#pragma once

#include "common/randomgenerator.h"
#include "document/fractaldocument.h"
#include "render/chaos/chaosgame.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/renderer.h"

#include <QtGlobal>

#include <vector>

namespace Vorlane {

// A point to plot: its position in canvas units (origin top left, Y down)
// and its colour, red + 256 × green + 65536 × blue.
struct PlottedPoint
{
    float x;
    float y;
    qint32 colour;
};

// Where a serial run puts its points. Points come in batches, in the order
// in which they are computed; every batch is handed over before the
// progress step that follows it.
class RenderTarget
{
public:
    virtual ~RenderTarget() = default;
    virtual void plot(const PlottedPoint *points, qsizetype count) = 0;
    // Called after every progressStep(totalPoints) points with the number of
    // steps done so far, 1 for the first.
    virtual void progressStepDone(qint32 stepsDone) = 0;
};

// One stretch of a run, point by point along one chain: random standing
// where the run has it before stretch.first and selected being the
// transformation chosen last before it (0 for none). The plain serial run
// that the renderer's faster ways must match; progress steps are counted
// from the run's first iteration.
inline void renderStretch(const FractalDocument &document, float scaleWidth, float scaleHeight, Stretch stretch,
                          int selected, RandomGenerator &random, RenderTarget &target)
{
    const ViewTransform view(document, scaleWidth, scaleHeight);
    const CanvasChaosGame game = canvasChaosGame(document, view);
    ChaosChain<CanvasArithmetic> chain(game, random, stretch.first, selected, game.maps.basePoint(1));
    const qint64 step = progressStep(document.settings.totalPoints);
    std::vector<PlottedPoint> batch;
    for (qint64 i = stretch.first; i <= stretch.last; ++i) {
        const ChaosChain<CanvasArithmetic>::Step plotted = chain.next();
        const CanvasPosition position = view.position(plotted.point);
        batch.push_back({position.x, position.y, plotted.colour});
        if (i % step == 0 || i == stretch.last) {
            target.plot(batch.data(), qsizetype(batch.size()));
            batch.clear();
        }
        if (i % step == 0)
            target.progressStepDone(qint32(i / step));
    }
}

// The whole run of the document onto a canvas of scale width W and height H.
inline void renderFractal(const FractalDocument &document, float scaleWidth, float scaleHeight,
                          RandomGenerator &random, RenderTarget &target)
{
    renderStretch(document, scaleWidth, scaleHeight, {1, document.settings.totalPoints}, 0, random, target);
}

} // namespace Vorlane
