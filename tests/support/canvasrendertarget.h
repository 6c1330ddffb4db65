#pragma once

#include "render/exact/rastercanvas.h"
#include "render/chaos/viewtransform.h"
#include "support/serialrender.h"

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
            plot(m_canvas, *point, rgb);
            if (m_second)
                plot(*m_second, *point, rgb);
        }
    }

    void progressStepDone(qint32 stepsDone) override
    {
        if (m_onProgress)
            m_onProgress(stepsDone);
    }

private:
    static void plot(const RasterCanvas::PixelWriter &canvas, const PlottedPoint &point, QRgb rgb)
    {
        const int px = canvasUnitsToPixel(point.x);
        const int py = canvasUnitsToPixel(point.y);
        if (px >= 0 && py >= 0 && px < canvas.width() && py < canvas.height())
            canvas.bits()[py * canvas.stride() + px] = rgb;
    }

    RasterCanvas::PixelWriter m_canvas;
    std::optional<RasterCanvas::PixelWriter> m_second;
    ProgressHandler m_onProgress;
};

} // namespace Vorlane
