#include "basefieldareaview.h"

#include "basefielddrawing.h"

#include <QMouseEvent>
#include <QPainter>

namespace Vorlane {

namespace {

QPointF areaPosition(const QMouseEvent *event)
{
    return event->position() * RasterCanvas::unitsPerPixel;
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
