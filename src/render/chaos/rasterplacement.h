#pragma once

#include <QPointF>
#include <QSizeF>

namespace Vorlane {

// Where the points of a plane (Y up) fall on a raster (Y down): the raster's
// middle shows the centre, and a plane unit spans scale raster units,
//   across = width / 2 + (x − centreX) × scale,
//   down = height / 2 − (y − centreY) × scale.
// Both renderers place their points through this one definition: the window
// on its canvas in canvas units, the poster on its pixels.
class RasterPlacement
{
public:
    // Where a raster coordinate counts from: a pixel's top left corner, or
    // its middle half a raster unit further on, where a point shared among
    // its four nearest pixels falls wholly on one.
    enum class Origin { Corner, Middle };

    RasterPlacement(QSizeF size, QPointF centre, double scale, Origin origin = Origin::Corner)
        : m_scale(scale)
        , m_offsetX(size.width() / 2.0 - shift(origin) - centre.x() * scale)
        , m_offsetY(size.height() / 2.0 - shift(origin) + centre.y() * scale)
    {
    }

    // One product and one sum with an offset worked out once, in this order:
    // posters and their part files depend on these bits.
    double across(double x) const { return x * m_scale + m_offsetX; }
    double down(double y) const { return m_offsetY - y * m_scale; }

    // For placing many points at once in vector lanes, with the same
    // operations: across is x × scale + offsetX, down offsetY − y × scale.
    double scale() const { return m_scale; }
    double offsetX() const { return m_offsetX; }
    double offsetY() const { return m_offsetY; }

private:
    static double shift(Origin origin) { return origin == Origin::Middle ? 0.5 : 0.0; }

    double m_scale;
    double m_offsetX;
    double m_offsetY;
};

} // namespace Vorlane
