#pragma once

#include "render/rastercanvas.h"
#include "render/renderer.h"

#include <functional>
#include <optional>

namespace Vorlane {

// Plots a run point by point into a canvas, and into a second one when given:
// the plain serial picture that the renderer's own, faster ways of drawing
// must match pixel for pixel.
class CanvasRenderTarget : public RenderTarget
{
public:
    using ProgressHandler = std::function<void(qint32 stepsDone)>;

    CanvasRenderTarget(RasterCanvas &canvas, RasterCanvas *second, ProgressHandler onProgress = {})
        : m_canvas(canvas.pixelWriter())
        , m_onProgress(std::move(onProgress))
    {
        if (second)
            m_second = second->pixelWriter();
    }

    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (const PlottedPoint *point = points; point != points + count; ++point) {
            const QRgb rgb = RasterCanvas::toRgb(point->colour);
            m_canvas.plot(point->x, point->y, rgb);
            if (m_second)
                m_second->plot(point->x, point->y, rgb);
        }
    }

    void progressStepDone(qint32 stepsDone) override
    {
        if (m_onProgress)
            m_onProgress(stepsDone);
    }

private:
    RasterCanvas::PixelWriter m_canvas;
    std::optional<RasterCanvas::PixelWriter> m_second;
    ProgressHandler m_onProgress;
};

} // namespace Vorlane
