#include "headlessrender.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/canvasrendertarget.h"
#include "render/rastercanvas.h"
#include "render/renderer.h"

namespace Vorlane {

// The window's outer size less 345 × 1905 twips: a client area of 6720 ×
// 7260 twips, Qt's 19-pixel menu bar and the classic 8 × 27-pixel frame.
QSize startupCanvasSize()
{
    return QSize(433, 403);
}

QImage renderDocumentPicture(FractalDocument document, QSize pixels, std::uint32_t seed,
                             const std::function<void(qint32 stepsDone)> &onProgress)
{
    RasterCanvas canvas(pixels, document.colours.backColour);
    document.settings.scaleX = toSingle(1.0 / canvas.scaleWidth());
    document.settings.scaleY = toSingle(1.0 / canvas.scaleHeight());
    RandomGenerator random(seed);
    CanvasRenderTarget target(canvas, nullptr, onProgress);
    renderFractal(document, canvas.scaleWidth(), canvas.scaleHeight(), random, target);
    return canvas.persistentImage();
}

} // namespace Vorlane
