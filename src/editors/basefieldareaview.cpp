#include "editors/basefieldareaview.h"

#include "editing/basefielddrawing.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace Vorlane {

namespace {

// The middle of the pixel under the pointer. Its edge would split the
// untouched pen's two lines, 2.2 units apart, over two pixel rows.
QPointF areaPosition(const QMouseEvent *event)
{
    const QPointF position = event->position();
    const QPointF pixel(std::floor(position.x()), std::floor(position.y()));
    return (pixel + QPointF(0.5, 0.5)) * RasterCanvas::unitsPerPixel;
}

} // namespace

BaseFieldAreaView::BaseFieldAreaView(BaseFieldDrawing &drawing, QWidget *parent)
    : QWidget(parent)
    , m_drawing(drawing)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void BaseFieldAreaView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), RasterCanvas::toRgb(BaseFieldDrawing::background));
    painter.drawImage(event->rect(), m_drawing.area().shownImage(), event->rect());
}

void BaseFieldAreaView::mousePressEvent(QMouseEvent *event)
{
    const QPointF position = areaPosition(event);
    m_drawing.press(float(position.x()), float(position.y()));
}

void BaseFieldAreaView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF position = areaPosition(event);
    m_drawing.move(float(position.x()), float(position.y()));
    update();
}

void BaseFieldAreaView::mouseReleaseEvent(QMouseEvent *)
{
    m_drawing.release();
    update();
}

} // namespace Vorlane
