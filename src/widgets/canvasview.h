#pragma once

#include "render/exact/rastercanvas.h"

#include <QWidget>

#include <functional>

class QPainter;

namespace Vorlane {

// A widget that shows a RasterCanvas and keeps it as large as itself.
class CanvasView : public QWidget
{
    Q_OBJECT

public:
    explicit CanvasView(qint32 backColour, QWidget *parent = nullptr);

    // The canvas, as large as the widget; a hidden widget gets no resize
    // events, so the size is taken here.
    RasterCanvas &canvas();
    const RasterCanvas &canvas() const { return const_cast<CanvasView *>(this)->canvas(); }

    // Painted over the canvas on the screen and never into it, so that it
    // reaches no saved picture.
    void setOverlay(std::function<void(QPainter &)> paint);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    RasterCanvas m_canvas;
    std::function<void(QPainter &)> m_overlay;
};

} // namespace Vorlane
