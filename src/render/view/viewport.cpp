#include "render/view/viewport.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vorlane {

namespace {

// Collects the bounds of what a run plots, in fractal units.
class ExtentTarget : public RenderTarget
{
public:
    ExtentTarget(float scaleWidth, float scaleHeight)
        : m_halfWidth(double(scaleWidth) / 2.0)
        , m_halfHeight(double(scaleHeight) / 2.0)
    {
    }

    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (const PlottedPoint *point = points; point != points + count; ++point) {
            const double x = double(point->x) - m_halfWidth;
            const double y = m_halfHeight - double(point->y);
            m_extent.left = std::min(m_extent.left, x);
            m_extent.right = std::max(m_extent.right, x);
            m_extent.bottom = std::min(m_extent.bottom, y);
            m_extent.top = std::max(m_extent.top, y);
        }
    }

    void progressStepDone(qint32) override {}

    Extent extent() const { return m_extent; }

private:
    const double m_halfWidth;
    const double m_halfHeight;
    Extent m_extent{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
};

// A side of no length widened about its middle: a tenth of the other side,
// and never less than a pixel at zoom 1.
void widenFlatSides(Extent &extent)
{
    const double minimumSide = std::max<double>(RasterCanvas::unitsPerPixel,
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
    FractalDocument quick = document;
    quick.settings.totalPoints = std::min(document.settings.totalPoints, quickPoints);
    quick.centreX = 0;
    quick.centreY = 0;
    RandomGenerator random;
    ExtentTarget target(scaleWidth, scaleHeight);
    renderFractal(quick, scaleWidth, scaleHeight, random, target);
    Extent extent = target.extent();
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
    const double x = double(scaleWidth) / 2.0 + zoom * fractal.x() - zoomedCentreX();
    const double y = double(scaleHeight) / 2.0 - zoom * fractal.y() + zoomedCentreY();
    return QPointF(x, y) / RasterCanvas::unitsPerPixel;
}

QPointF Viewport::toFractal(QPointF pixels) const
{
    const QPointF units = pixels * RasterCanvas::unitsPerPixel;
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
    const QPointF units = pixels * RasterCanvas::unitsPerPixel;
    Viewport zoomed = *this;
    zoomed.zoom = std::clamp(zoom * factor, smallestZoom, zoomLimit(extent));
    // The centre that puts fixed back under the pointer at the new zoom.
    zoomed.centreX = cint16((double(scaleWidth) / 2.0 + zoomed.zoom * fixed.x() - units.x()) / zoomed.zoom);
    zoomed.centreY = cint16((units.y() - double(scaleHeight) / 2.0 + zoomed.zoom * fixed.y()) / zoomed.zoom);
    return zoomed;
}

Viewport Viewport::pannedBy(QPointF from, QPointF to) const
{
    const QPointF moved = (to - from) * RasterCanvas::unitsPerPixel / zoom;
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
