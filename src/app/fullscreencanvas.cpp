#include "app/fullscreencanvas.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"
#include "render/view/viewport.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace Vorlane {

namespace {

// The document for the screen's canvas with its translations as many canvas
// units long as on the window's, so the screen shows the window's picture
// and not one stretched to the screen's sides.
FractalDocument withUnitsOf(FractalDocument document, QSize canvasPixels, const RasterCanvas &screen)
{
    const double widthRatio = double(canvasPixels.width()) * RasterCanvas::unitsPerPixel / double(screen.scaleWidth());
    const double heightRatio = double(canvasPixels.height()) * RasterCanvas::unitsPerPixel / double(screen.scaleHeight());
    document.settings.scaleX = toSingle(double(document.settings.scaleX) * widthRatio);
    document.settings.scaleY = toSingle(double(document.settings.scaleY) * heightRatio);
    return document;
}

} // namespace

FullScreenCanvas::FullScreenCanvas(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("fullScreenCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FullScreenCanvas::present(const FractalDocument &document, QSize canvasSize, const RandomGenerator &random)
{
    RasterCanvas canvas(screen()->size(), document.colours.backColour);
    const FractalDocument onScreen = withUnitsOf(document, canvasSize, canvas);
    Viewport view{1.0, canvas.scaleWidth(), canvas.scaleHeight(), document.centreX, document.centreY};
    if (const std::optional<Extent> extent = pictureExtent(onScreen, canvas.scaleWidth(), canvas.scaleHeight()))
        view = view.fitting(*extent);
    RandomGenerator copy = random;
    renderPicture(view.viewDocument(onScreen), canvas, copy);
    m_picture = canvas.persistentImage();
    m_background = QColor::fromRgb(RasterCanvas::toRgb(document.colours.backColour));
    showFullScreen();
    raise();
    activateWindow();
    update();
}

void FullScreenCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    painter.drawImage((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2, m_picture);
}

void FullScreenCanvas::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11)
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace Vorlane
