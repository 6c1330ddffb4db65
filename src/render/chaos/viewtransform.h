#pragma once

#include "common/rounding.h"
#include "document/canvasunits.h"
#include "document/fractaldocument.h"
#include "render/chaos/rasterplacement.h"

#include <QPointF>
#include <QSize>
#include <QtGlobal>

namespace Vorlane {

// A point of the window's renderer: whole canvas units from the fractal's
// origin, Y up.
struct CanvasPoint
{
    qint16 x;
    qint16 y;
};

// A position on a canvas in canvas units: origin top left, Y down.
struct CanvasPosition
{
    float x;
    float y;
};

// How the window's renderer sees the document: document units to canvas
// units (one document unit is W × scaleX canvas units along X, H × scaleY
// along Y), and canvas units to a canvas of scale width W and height H with
// the view centre in the middle, and on to its pixels.
class ViewTransform
{
public:
    // A canvas of scale width W and height H with the view centre
    // (centreX, centreY) in its middle, a document unit measuring W × scaleX
    // canvas units along X and H × scaleY along Y.
    ViewTransform(float scaleWidth, float scaleHeight, qint16 centreX, qint16 centreY, float scaleX = 0.0f,
                  float scaleY = 0.0f)
        : m_scaleWidth(scaleWidth)
        , m_scaleHeight(scaleHeight)
        , m_scaleX(scaleX)
        , m_scaleY(scaleY)
        , m_unitsX(toSingle(double(scaleWidth) * double(scaleX)))
        , m_unitsY(toSingle(double(scaleHeight) * double(scaleY)))
        , m_canvas(QSizeF(scaleWidth, scaleHeight), QPointF(centreX, centreY), 1.0)
        , m_columnBase(cint32(scaleWidth) - 2 * centreX + pixelOffset)
        , m_rowBase(cint32(scaleHeight) + 2 * centreY + pixelOffset)
    {
    }

    // The document's view on a canvas of scale width W and height H.
    ViewTransform(const FractalDocument &document, float scaleWidth, float scaleHeight)
        : ViewTransform(scaleWidth, scaleHeight, document.centreX, document.centreY, document.settings.scaleX,
                        document.settings.scaleY)
    {
    }

    // The view of a canvas of pixelSize pixels.
    ViewTransform(const FractalDocument &document, QSize pixelSize)
        : ViewTransform(document, float(pixelSize.width() * canvasUnitsPerPixel),
                        float(pixelSize.height() * canvasUnitsPerPixel))
    {
    }

    // A base point in canvas units, each coordinate taken as a float and
    // scaled in 64 bits.
    CanvasPoint basePoint(const BasePoint &base) const
    {
        return {cint16(double(float(base.x)) * double(m_unitsX)), cint16(double(float(base.y)) * double(m_unitsY))};
    }

    // A translation in canvas units, the products taken left to right.
    double translationX(float documentUnits) const
    {
        return double(m_scaleX) * double(documentUnits) * double(m_scaleWidth);
    }
    double translationY(float documentUnits) const
    {
        return double(m_scaleY) * double(documentUnits) * double(m_scaleHeight);
    }

    // Where a point in canvas units from the fractal's origin, whole or not,
    // lies on the canvas: X = W / 2 + x − centreX, Y = H / 2 − y + centreY,
    // in 64 bits.
    QPointF exactPosition(double x, double y) const { return {m_canvas.across(x), m_canvas.down(y)}; }

    // Where a point lies on the canvas, each coordinate rounded to a float.
    CanvasPosition position(CanvasPoint point) const
    {
        const QPointF exact = exactPosition(point.x, point.y);
        return {toSingle(exact.x()), toSingle(exact.y())};
    }

    // The pixel of a point, exactly floor(X / 15) and floor(Y / 15) of its
    // place X, Y on the canvas (exactPosition) worked out in integers, on a
    // canvas a whole number of pixels wide and high (W = 15 × its width).
    // X = W / 2 + x − centreX is a whole or half unit, so 2X is a whole number
    // and floor(X / 15) = floor(2X / 30). An offset of 30 × 65536 keeps every
    // 2X of 16-bit values positive, so the division is that of unsigned numbers.
    int column(qint16 x) const { return int(quint32(m_columnBase + 2 * x) / pixelDivisor) - offsetPixels; }
    int row(qint16 y) const { return int(quint32(m_rowBase - 2 * y) / pixelDivisor) - offsetPixels; }

    // What column and row work from, for the same arithmetic in vector lanes.
    static constexpr quint32 pixelDivisor = 2 * canvasUnitsPerPixel;
    static constexpr qint32 offsetPixels = 65536;
    qint32 columnBase() const { return m_columnBase; }
    qint32 rowBase() const { return m_rowBase; }

private:
    static constexpr qint32 pixelOffset = qint32(pixelDivisor) * offsetPixels;

    float m_scaleWidth;
    float m_scaleHeight;
    float m_scaleX;
    float m_scaleY;
    float m_unitsX; // canvas units per document unit
    float m_unitsY;
    RasterPlacement m_canvas; // at scale 1: the points are in canvas units already
    qint32 m_columnBase;
    qint32 m_rowBase;
};

// The pixel a position in canvas units lies on: floor(units / 15). Far off
// any canvas it is held at ±2^20 pixels, which keeps the conversion defined
// and a line's walk short.
inline int canvasUnitsToPixel(double units)
{
    constexpr double limit = 1 << 20;
    const double pixels = units / canvasUnitsPerPixel;
    if (!(pixels > -limit))
        return int(-limit);
    return pixels < limit ? int(floorToInt(pixels)) : int(limit);
}

} // namespace Vorlane
