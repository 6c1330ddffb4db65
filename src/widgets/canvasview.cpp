#include "widgets/canvasview.h"

#include <QPainter>
#include <QResizeEvent>

namespace Vorlane {

CanvasView::CanvasView(qint32 backColour, QWidget *parent)
    : QWidget(parent)
    , m_canvas(QSize(), backColour)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

RasterCanvas &CanvasView::canvas()
{
    m_canvas.resize(size());
    return m_canvas;
}

void CanvasView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas().shownImage(), event->rect());
}

void CanvasView::resizeEvent(QResizeEvent *event)
{
    m_canvas.resize(event->size());
    QWidget::resizeEvent(event);
}

} // namespace Vorlane
