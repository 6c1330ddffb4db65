#pragma once

#include "rastercanvas.h"
#include "renderer.h"

#include <functional>
#include <optional>

namespace Vorlane {

// Plots a run into a canvas, and into a second one when given (the main
// window's visible canvas beside its hidden one).
class CanvasRenderTarget : public RenderTarget
{
public:
    using ProgressHandler = std::function<void(qint32 stepsDone)>;

    CanvasRenderTarget(RasterCanvas &canvas, RasterCanvas *second, ProgressHandler onProgress = {});

    void plot(const PlottedPoint *points, qsizetype count) override;
    void progressStepDone(qint32 stepsDone) override;

private:
    RasterCanvas::PixelWriter m_canvas;
    std::optional<RasterCanvas::PixelWriter> m_second;
    ProgressHandler m_onProgress;
};

} // namespace Vorlane
