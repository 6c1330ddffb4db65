#pragma once

#include <QPointF>
#include <QtGlobal>

#include <optional>

namespace Vorlane {

struct FractalDocument;

// Fractal units: canvas units measured from the fractal's origin with Y up,
// at zoom 1. They are the units of the renderer's current point, so a map
// acts on them as its contraction and rotation say, with its translation
// multiplied by the canvas units per document unit.

// The rectangle a picture covers, in fractal units.
struct Extent
{
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
    double top = 0.0;

    double width() const { return right - left; }
    double height() const { return top - bottom; }
    QPointF centre() const { return {(left + right) / 2.0, (bottom + top) / 2.0}; }
};

// The extent of the picture a run of the document draws, from a quick run of
// at most quickPoints points with a generator of its own, so the program's
// random sequence stays where it is. Each side is at least minimumSide long,
// so that a picture without width or height still has a frame to hold. None
// for a document that cannot be rendered.
std::optional<Extent> pictureExtent(const FractalDocument &document, float scaleWidth, float scaleHeight,
                                    qint32 quickPoints = 30000);

// How the window shows the picture: the document's view centre and the
// canvas's scale size, with a zoom that is the window's own. Zoom 1 shows the
// picture exactly as the document alone draws it.
struct Viewport
{
    static constexpr double smallestZoom = 1.0 / 32.0;
    static constexpr double largestZoom = 64.0;

    double zoom = 1.0;
    float scaleWidth = 0.0f; // canvas units
    float scaleHeight = 0.0f;
    qint16 centreX = 0; // the document's, in canvas units at zoom 1
    qint16 centreY = 0;

    // The document the renderer draws for this view: its scales and view
    // centre multiplied by the zoom; the document itself at zoom 1.
    FractalDocument viewDocument(const FractalDocument &document) const;

    // A point in fractal units to a position in pixels on the canvas, and
    // back; pixel (i, j) covers the positions i to i + 1 and j to j + 1.
    QPointF toPixels(QPointF fractal) const;
    QPointF toFractal(QPointF pixels) const;

    // The same view at the zoom factor times as large, keeping the point
    // under the pixel position fixed; the zoom stays within its limits and
    // within what 16-bit canvas units reach for the extent.
    Viewport zoomedAbout(QPointF pixels, double factor, const std::optional<Extent> &extent) const;
    // The view moved so that what was at the pixel position from lies at to.
    Viewport pannedBy(QPointF from, QPointF to) const;
    // The view in which the extent fills the canvas with a margin of marginShare
    // of the canvas on every side, centred.
    Viewport fitting(const Extent &extent, double marginShare = 0.05) const;

private:
    qint16 zoomedCentreX() const;
    qint16 zoomedCentreY() const;
    double zoomLimit(const std::optional<Extent> &extent) const;
};

} // namespace Vorlane
