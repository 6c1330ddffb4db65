#include "canvasrendertarget.h"

namespace Vorlane {

CanvasRenderTarget::CanvasRenderTarget(RasterCanvas &canvas, RasterCanvas *second, ProgressHandler onProgress)
    : m_canvas(canvas.pixelWriter())
    , m_onProgress(std::move(onProgress))
{
    if (second)
        m_second = second->pixelWriter();
}

void CanvasRenderTarget::plot(const PlottedPoint *points, qsizetype count)
{
    for (const PlottedPoint *point = points; point != points + count; ++point) {
        const QRgb rgb = RasterCanvas::toRgb(point->colour);
        m_canvas.plot(point->x, point->y, rgb);
        if (m_second)
            m_second->plot(point->x, point->y, rgb);
    }
}

void CanvasRenderTarget::progressStepDone(qint32 stepsDone)
{
    if (m_onProgress)
        m_onProgress(stepsDone);
}

} // namespace Vorlane
