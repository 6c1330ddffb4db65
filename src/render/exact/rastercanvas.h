#pragma once

#include "common/rounding.h"
#include "document/canvasunits.h"
#include "render/chaos/viewtransform.h"

#include <QImage>
#include <QSize>
#include <QtGlobal>

namespace Vorlane {

// A raster canvas measured in canvas units of very nearly a twip. A position
// (x, y) in canvas units lies on the pixel (floor(x / 15), floor(y / 15));
// positions off the canvas are not drawn. Drawing is aliased: every touched
// pixel takes exactly the drawing colour.
//
// The canvas keeps a persistent image: its background colour, the background
// picture at its top left, and what was drawn while persistent drawing was on.
// Drawing made while persistent drawing is off is only shown, and goes when
// the canvas is cleared or gets a new picture.
class RasterCanvas
{
public:
    static constexpr int unitsPerPixel = canvasUnitsPerPixel;

    static QRgb toRgb(qint32 colour);
    static qint32 fromRgb(QRgb rgb);

    explicit RasterCanvas(QSize pixelSize = QSize(), qint32 backColour = 0xFFFFFF);

    QSize pixelSize() const { return m_image.size(); }
    // Resizes the canvas; what it holds stays anchored at its top left. A new
    // area shows what the canvas held there before it was made smaller, since
    // it was last cleared, and the background colour beyond.
    void resize(QSize pixelSize);
    // The scale width and height: the interior in canvas units.
    float scaleWidth() const { return float(m_image.width() * unitsPerPixel); }
    float scaleHeight() const { return float(m_image.height() * unitsPerPixel); }

    qint32 backColour() const { return m_backColour; }
    // Sets the background colour and clears the canvas.
    void setBackColour(qint32 colour);
    // Sets the background picture and clears the canvas to it.
    void setPicture(const QImage &picture);
    // Clears every drawing, leaving the background colour and picture.
    void clear();

    bool persistentDrawing() const { return m_persistentDrawing; }
    void setPersistentDrawing(bool on);

    void plot(double x, double y, qint32 colour);
    void drawLine(double x1, double y1, double x2, double y2, qint32 colour);
    // The outline of the axis-parallel ellipse around (centreX, centreY) with
    // the semi-axes radiusX and radiusY, taken by magnitude and rounded to
    // whole pixels; a semi-axis of 0 gives a straight line, both 0 one pixel.
    void drawEllipse(double centreX, double centreY, double radiusX, double radiusY, qint32 colour);
    // The colour of the pixel shown at (x, y), or -1 off the canvas.
    qint32 point(double x, double y) const;

    // What persists: background colour, picture and persistent drawing.
    const QImage &persistentImage() const { return m_image; }
    // What the canvas shows right now.
    const QImage &shownImage() const { return m_shown.isNull() ? m_image : m_shown; }

    // Fast plotting into the image that drawing currently goes to, for the
    // renderer's millions of points. Valid until the canvas next changes by
    // another call.
    class PixelWriter
    {
    public:
        QRgb *bits() const { return m_bits; }
        int width() const { return m_width; }
        int height() const { return m_height; }
        // Pixels from one line to the next.
        qsizetype stride() const { return m_stride; }

    private:
        friend class RasterCanvas;
        QRgb *m_bits = nullptr;
        int m_width = 0;
        int m_height = 0;
        qsizetype m_stride = 0;
    };
    PixelWriter pixelWriter();

private:
    QImage &drawingImage();
    void keepPersistentImage();
    void setPixel(int px, int py, QRgb rgb);

    qint32 m_backColour;
    QImage m_picture;
    QImage m_image;
    QImage m_kept; // the persistent image as large as it has been since the last clear
    QImage m_shown; // null while it equals m_image
    bool m_persistentDrawing = true;
};

} // namespace Vorlane
