#pragma once

#include "rastercanvas.h"
#include "renderer.h"

#include <functional>

namespace Vorlane {

// Plots a run into the visible and the hidden canvas at once.
class CanvasRenderTarget : public RenderTarget
{
public:
    using ProgressHandler = std::function<void(qint32 stepsDone)>;

    CanvasRenderTarget(RasterCanvas &visible, RasterCanvas &hidden, ProgressHandler onProgress = {});

    void plot(const PlottedPoint *points, qsizetype count) override;
    void progressStepDone(qint32 stepsDone) override;

private:
    RasterCanvas::PixelWriter m_visible;
    RasterCanvas::PixelWriter m_hidden;
    ProgressHandler m_onProgress;
};

} // namespace Vorlane
