#include "canvasrendertarget.h"

namespace Vorlane {

CanvasRenderTarget::CanvasRenderTarget(RasterCanvas &visible, RasterCanvas &hidden, ProgressHandler onProgress)
    : m_visible(visible.pixelWriter())
    , m_hidden(hidden.pixelWriter())
    , m_onProgress(std::move(onProgress))
{
}

void CanvasRenderTarget::plot(const PlottedPoint *points, qsizetype count)
{
    for (const PlottedPoint *point = points; point != points + count; ++point) {
        const QRgb rgb = RasterCanvas::toRgb(point->colour);
        m_visible.plot(point->x, point->y, rgb);
        m_hidden.plot(point->x, point->y, rgb);
    }
}

void CanvasRenderTarget::progressStepDone(qint32 stepsDone)
{
    if (m_onProgress)
        m_onProgress(stepsDone);
}

} // namespace Vorlane
