#include "render/exact/documentpicture.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/exact/rastercanvas.h"

namespace Vorlane {

QImage renderDocumentPicture(FractalDocument document, QSize pixelSize, RandomGenerator &random, float zoom,
                             const RunControl &run)
{
    RasterCanvas canvas(pixelSize, document.colours.backColour);
    document.settings.scaleX = toSingle(double(zoom) / double(canvas.scaleWidth()));
    document.settings.scaleY = toSingle(double(zoom) / double(canvas.scaleHeight()));
    renderPicture(document, canvas, random, run);
    return canvas.persistentImage();
}

} // namespace Vorlane
