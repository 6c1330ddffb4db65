#include "render/view/viewport.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "document/canvasunits.h"
#include "render/chaos/chaosgame.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vorlane {

namespace {

// A side of no length widened about its middle: a tenth of the other side,
// and never less than a pixel at zoom 1.
void widenFlatSides(Extent &extent)
{
    const double minimumSide = std::max<double>(canvasUnitsPerPixel,
                                                std::max(extent.width(), extent.height()) / 10.0);
    if (extent.width() < minimumSide) {
        const double grow = (minimumSide - extent.width()) / 2.0;
        extent.left -= grow;
        extent.right += grow;
    }
    if (extent.height() < minimumSide) {
        const double grow = (minimumSide - extent.height()) / 2.0;
        extent.bottom -= grow;
        extent.top += grow;
    }
}

// 16-bit canvas units leave room for this many units either side of the
// origin; the rest is held for the view centre's own movement.
constexpr double reachableUnits = 30000.0;

} // namespace

std::optional<Extent> pictureExtent(const FractalDocument &document, float scaleWidth, float scaleHeight,
                                    qint32 quickPoints)
{
    if (!renderProblem(document).isEmpty() || document.settings.totalPoints < 1)
        return std::nullopt;
    const CanvasChaosGame game = canvasChaosGame(document, ViewTransform(document, scaleWidth, scaleHeight));
    RandomGenerator random;
    ChaosChain<CanvasArithmetic> chain(game, random);
    const CanvasPoint first = chain.next().point;
    Extent extent{double(first.x), double(first.y), double(first.x), double(first.y)};
    for (qint32 n = 1; n < std::min(document.settings.totalPoints, quickPoints); ++n) {
        const CanvasPoint point = chain.next().point;
        extent.left = std::min(extent.left, double(point.x));
        extent.right = std::max(extent.right, double(point.x));
        extent.bottom = std::min(extent.bottom, double(point.y));
        extent.top = std::max(extent.top, double(point.y));
    }
    widenFlatSides(extent);
    return extent;
}

FractalDocument Viewport::viewDocument(const FractalDocument &document) const
{
    FractalDocument view = document;
    if (zoom == 1.0)
        return view;
    view.settings.scaleX = toSingle(double(document.settings.scaleX) * zoom);
    view.settings.scaleY = toSingle(double(document.settings.scaleY) * zoom);
    view.centreX = zoomedCentreX();
    view.centreY = zoomedCentreY();
    return view;
}

qint16 Viewport::zoomedCentreX() const
{
    return cint16(double(centreX) * zoom);
}

qint16 Viewport::zoomedCentreY() const
{
    return cint16(double(centreY) * zoom);
}

QPointF Viewport::toPixels(QPointF fractal) const
{
    const ViewTransform view(scaleWidth, scaleHeight, zoomedCentreX(), zoomedCentreY());
    return view.exactPosition(zoom * fractal.x(), zoom * fractal.y()) / canvasUnitsPerPixel;
}

QPointF Viewport::toFractal(QPointF pixels) const
{
    const QPointF units = pixels * canvasUnitsPerPixel;
    return {(units.x() - double(scaleWidth) / 2.0 + zoomedCentreX()) / zoom,
            (double(scaleHeight) / 2.0 + zoomedCentreY() - units.y()) / zoom};
}

double Viewport::zoomLimit(const std::optional<Extent> &extent) const
{
    if (!extent)
        return largestZoom;
    const double reach = std::max({std::fabs(extent->left), std::fabs(extent->right), std::fabs(extent->bottom),
                                   std::fabs(extent->top), 1.0});
    return std::clamp(reachableUnits / reach, smallestZoom, largestZoom);
}

Viewport Viewport::zoomedAbout(QPointF pixels, double factor, const std::optional<Extent> &extent) const
{
    const QPointF fixed = toFractal(pixels);
    const QPointF units = pixels * canvasUnitsPerPixel;
    Viewport zoomed = *this;
    zoomed.zoom = std::clamp(zoom * factor, smallestZoom, zoomLimit(extent));
    // The centre that puts fixed back under the pointer at the new zoom.
    zoomed.centreX = cint16((double(scaleWidth) / 2.0 + zoomed.zoom * fixed.x() - units.x()) / zoomed.zoom);
    zoomed.centreY = cint16((units.y() - double(scaleHeight) / 2.0 + zoomed.zoom * fixed.y()) / zoomed.zoom);
    return zoomed;
}

Viewport Viewport::pannedBy(QPointF from, QPointF to) const
{
    const QPointF moved = (to - from) * canvasUnitsPerPixel / zoom;
    Viewport panned = *this;
    panned.centreX = cint16(double(centreX) - moved.x());
    panned.centreY = cint16(double(centreY) + moved.y());
    return panned;
}

Viewport Viewport::fitting(const Extent &extent, double marginShare) const
{
    const double share = 1.0 - 2.0 * marginShare;
    Viewport fitted = *this;
    fitted.zoom = std::clamp(std::min(share * double(scaleWidth) / extent.width(),
                                      share * double(scaleHeight) / extent.height()),
                             smallestZoom, zoomLimit(extent));
    fitted.centreX = cint16(extent.centre().x());
    fitted.centreY = cint16(extent.centre().y());
    return fitted;
}

} // namespace Vorlane
