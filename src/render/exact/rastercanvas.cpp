#include "render/exact/rastercanvas.h"

#include "document/colour.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Vorlane {

QRgb RasterCanvas::toRgb(qint32 colour)
{
    return qRgb(colourRed(colour), colourGreen(colour), colourBlue(colour));
}

qint32 RasterCanvas::fromRgb(QRgb rgb)
{
    return rgbColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

RasterCanvas::RasterCanvas(QSize pixelSize, qint32 backColour)
    : m_backColour(backColour)
    , m_image(pixelSize, QImage::Format_RGB32)
{
    clear();
}

void RasterCanvas::resize(QSize pixelSize)
{
    if (pixelSize == m_image.size())
        return;
    const auto anchored = [this, pixelSize](const QImage &content) {
        QImage image(pixelSize, QImage::Format_RGB32);
        image.fill(toRgb(m_backColour));
        QPainter painter(&image);
        painter.drawImage(0, 0, content);
        return image;
    };
    keepPersistentImage();
    m_image = anchored(m_kept);
    if (!m_shown.isNull())
        m_shown = anchored(m_shown);
}

// A smaller canvas must not lose what lies beyond its new edges: growing
// again shows it.
void RasterCanvas::keepPersistentImage()
{
    if (m_kept.width() <= m_image.width() && m_kept.height() <= m_image.height()) {
        m_kept = m_image;
        return;
    }
    QImage kept(m_kept.size().expandedTo(m_image.size()), QImage::Format_RGB32);
    kept.fill(toRgb(m_backColour));
    QPainter painter(&kept);
    painter.drawImage(0, 0, m_kept);
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_kept = kept;
}

void RasterCanvas::setBackColour(qint32 colour)
{
    m_backColour = colour;
    clear();
}

void RasterCanvas::setPicture(const QImage &picture)
{
    m_picture = picture;
    clear();
}

void RasterCanvas::clear()
{
    m_shown = QImage();
    m_kept = m_picture;
    m_image.fill(toRgb(m_backColour));
    if (!m_picture.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, m_picture);
    }
}

void RasterCanvas::setPersistentDrawing(bool on)
{
    m_persistentDrawing = on;
    // Turning it on shows the persistent image again, as a repaint would.
    if (on)
        m_shown = QImage();
}

QImage &RasterCanvas::drawingImage()
{
    if (m_persistentDrawing)
        return m_image;
    if (m_shown.isNull()) {
        m_shown = m_image;
        m_shown.detach();
    }
    return m_shown;
}

RasterCanvas::PixelWriter RasterCanvas::pixelWriter()
{
    QImage &image = drawingImage();
    PixelWriter writer;
    writer.m_bits = reinterpret_cast<QRgb *>(image.bits());
    writer.m_width = image.width();
    writer.m_height = image.height();
    writer.m_stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    return writer;
}

void RasterCanvas::setPixel(int px, int py, QRgb rgb)
{
    QImage &image = drawingImage();
    if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
        reinterpret_cast<QRgb *>(image.scanLine(py))[px] = rgb;
}

void RasterCanvas::plot(double x, double y, qint32 colour)
{
    setPixel(canvasUnitsToPixel(x), canvasUnitsToPixel(y), toRgb(colour));
}

// Bresenham's line, both end pixels included.
void RasterCanvas::drawLine(double x1, double y1, double x2, double y2, qint32 colour)
{
    const QRgb rgb = toRgb(colour);
    QImage &image = drawingImage();
    const QRect bounds = image.rect();
    // Clip generously so that a line far off the canvas costs nothing.
    int px = canvasUnitsToPixel(x1);
    int py = canvasUnitsToPixel(y1);
    const int qx = canvasUnitsToPixel(x2);
    const int qy = canvasUnitsToPixel(y2);
    if ((px < 0 && qx < 0) || (py < 0 && qy < 0) || (px >= bounds.width() && qx >= bounds.width())
        || (py >= bounds.height() && qy >= bounds.height()))
        return;
    const qint64 dx = std::llabs(qint64(qx) - px);
    const qint64 dy = -std::llabs(qint64(qy) - py);
    const int sx = px < qx ? 1 : -1;
    const int sy = py < qy ? 1 : -1;
    qint64 error = dx + dy;
    for (;;) {
        if (bounds.contains(px, py))
            reinterpret_cast<QRgb *>(image.scanLine(py))[px] = rgb;
        if (px == qx && py == qy)
            break;
        const qint64 doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            px += sx;
        }
        if (doubled <= dx) {
            error += dx;
            py += sy;
        }
    }
}

namespace {

// A semi-axis in whole pixels. Far beyond any canvas an ellipse's visible
// part no longer changes; the limit keeps the walk short and its error terms
// within 64 bits.
qint64 radiusInPixels(double units)
{
    constexpr double limit = 1 << 16;
    const double pixels = std::round(std::fabs(units) / RasterCanvas::unitsPerPixel);
    if (std::isnan(pixels))
        return 0;
    return qint64(std::min(pixels, limit));
}

} // namespace

// The midpoint ellipse walked through one quadrant and mirrored into the
// other three; the tail finishes the tips of very flat ellipses, which the
// walk leaves early.
void RasterCanvas::drawEllipse(double centreX, double centreY, double radiusX, double radiusY, qint32 colour)
{
    const qint64 a = radiusInPixels(radiusX);
    const qint64 b = radiusInPixels(radiusY);
    const qint64 cx = canvasUnitsToPixel(centreX);
    const qint64 cy = canvasUnitsToPixel(centreY);
    QImage &image = drawingImage();
    if (cx + a < 0 || cy + b < 0 || cx - a >= image.width() || cy - b >= image.height())
        return;
    const QRgb rgb = toRgb(colour);
    const auto plotMirrored = [&](qint64 x, qint64 y) {
        for (const qint64 px : {cx - x, cx + x}) {
            for (const qint64 py : {cy - y, cy + y}) {
                if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
                    reinterpret_cast<QRgb *>(image.scanLine(int(py)))[px] = rgb;
            }
        }
    };
    const qint64 a2 = a * a;
    const qint64 b2 = b * b;
    qint64 x = -a;
    qint64 y = 0;
    qint64 error = x * (2 * b2 + x) + b2;
    do {
        plotMirrored(x, y);
        const qint64 doubled = 2 * error;
        if (doubled >= (2 * x + 1) * b2) {
            ++x;
            error += (2 * x + 1) * b2;
        }
        if (doubled <= (2 * y + 1) * a2) {
            ++y;
            error += (2 * y + 1) * a2;
        }
    } while (x <= 0);
    while (y++ < b)
        plotMirrored(0, y);
}

qint32 RasterCanvas::point(double x, double y) const
{
    const QImage &image = shownImage();
    const int px = canvasUnitsToPixel(x);
    const int py = canvasUnitsToPixel(y);
    if (!image.rect().contains(px, py))
        return -1;
    return fromRgb(image.pixel(px, py));
}

} // namespace Vorlane
