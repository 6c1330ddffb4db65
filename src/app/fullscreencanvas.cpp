#include "app/fullscreencanvas.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/exact/documentpicture.h"
#include "render/exact/rastercanvas.h"
#include "render/lesson/slowmotion.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace Vorlane {

namespace {

constexpr double marginShare = 0.05;

// The document as the screen shows it: every length zoom times as long, and
// the view centre on the middle of the extent (canvas positions on a canvas
// of scaleWidth × scaleHeight units, where the document's scale is 1).
FractalDocument fittedDocument(FractalDocument document, const QRectF &extent, float scaleWidth, float scaleHeight,
                               QSize screenPixels, float *zoom)
{
    const double screenWidth = double(screenPixels.width()) * RasterCanvas::unitsPerPixel;
    const double screenHeight = double(screenPixels.height()) * RasterCanvas::unitsPerPixel;
    const double share = 1.0 - 2.0 * marginShare;
    *zoom = toSingle(std::min(share * screenWidth / std::max(1.0, extent.width()),
                              share * screenHeight / std::max(1.0, extent.height())));
    const double middleX = extent.center().x() - double(scaleWidth) / 2.0 + document.centreX;
    const double middleY = double(scaleHeight) / 2.0 - extent.center().y() + document.centreY;
    document.centreX = cint16(middleX * double(*zoom));
    document.centreY = cint16(middleY * double(*zoom));
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
    const float scaleWidth = float(canvasSize.width() * RasterCanvas::unitsPerPixel);
    const float scaleHeight = float(canvasSize.height() * RasterCanvas::unitsPerPixel);
    const QSize screenPixels = screen()->size();
    float zoom = 1.0f;
    const FractalDocument fitted = fittedDocument(document, runExtent(document, scaleWidth, scaleHeight, random),
                                                  scaleWidth, scaleHeight, screenPixels, &zoom);
    RandomGenerator copy = random;
    m_picture = renderDocumentPicture(fitted, screenPixels, copy, zoom);
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
