#include "fractalpicture.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/canvasrendertarget.h"
#include "render/renderer.h"

namespace Vorlane {

QImage renderFractalPicture(FractalDocument document, QSize pixelSize, float zoom, QPoint centre,
                            RandomGenerator &random)
{
    RasterCanvas canvas(pixelSize, document.colours.backColour);
    document.settings.scaleX = toSingle(double(zoom) / double(canvas.scaleWidth()));
    document.settings.scaleY = toSingle(double(zoom) / double(canvas.scaleHeight()));
    document.centreX = cint16(centre.x());
    document.centreY = cint16(centre.y());
    CanvasRenderTarget target(canvas, nullptr);
    renderFractal(document, canvas.scaleWidth(), canvas.scaleHeight(), random, target);
    return canvas.persistentImage();
}

} // namespace Vorlane
