#include "app/panning.h"

#include "common/rounding.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/rastercanvas.h"

namespace Vorlane {

int panStep(int modifierState)
{
    return 20 * (modifierState + 1);
}

void moveCentre(FractalDocument &document, PanDirection direction, int modifierState)
{
    const int step = panStep(modifierState);
    switch (direction) {
    case PanDirection::Left:
        document.centreX = addInt16Saturated(document.centreX, step);
        break;
    case PanDirection::Right:
        document.centreX = addInt16Saturated(document.centreX, -step);
        break;
    case PanDirection::Up:
        document.centreY = addInt16Saturated(document.centreY, -step);
        break;
    case PanDirection::Down:
        document.centreY = addInt16Saturated(document.centreY, step);
        break;
    }
}

qint32 complementColour(qint32 colour)
{
    return rgbColour(255 - colourRed(colour), 255 - colourGreen(colour), 255 - colourBlue(colour));
}

void drawAxes(RasterCanvas &canvas, qint16 centreX, qint16 centreY)
{
    const qint32 colour = complementColour(canvas.backColour());
    const double scaleWidth = canvas.scaleWidth();
    const double scaleHeight = canvas.scaleHeight();
    // The canvas has no border, so its outer size is its scale size.
    const double outerWidth = scaleWidth;
    const double outerHeight = scaleHeight;
    // The axes cross where the fractal's origin lies.
    const ViewTransform view(canvas.scaleWidth(), canvas.scaleHeight(), centreX, centreY);
    const CanvasPosition origin = view.position({0, 0});
    canvas.drawLine(0, origin.y, outerWidth, origin.y, colour);
    canvas.drawLine(origin.x, 0, origin.x, outerHeight, colour);
}

} // namespace Vorlane
