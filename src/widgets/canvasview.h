#pragma once

#include "render/exact/rastercanvas.h"

#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    RasterCanvas m_canvas;
};

} // namespace Vorlane
