#include "documentpicture.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "rastercanvas.h"

namespace Vorlane {

// The window's outer size less 345 × 1905 twips: a client area of 6720 ×
// 7260 twips, Qt's 19-pixel menu bar and the classic 8 × 27-pixel frame.
QSize startupCanvasSize()
{
    return QSize(433, 403);
}

QImage renderDocumentPicture(FractalDocument document, QSize pixelSize, RandomGenerator &random, float zoom,
                             const PictureRun &run)
{
    RasterCanvas canvas(pixelSize, document.colours.backColour);
    document.settings.scaleX = toSingle(double(zoom) / double(canvas.scaleWidth()));
    document.settings.scaleY = toSingle(double(zoom) / double(canvas.scaleHeight()));
    renderPicture(document, canvas, random, run);
    return canvas.persistentImage();
}

} // namespace Vorlane
