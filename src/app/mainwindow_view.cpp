// The main window's canvas view: fitting the canvases to the window, and the
// arrow buttons that move the view centre.
#include "app/mainwindow.h"

#include "app/arrowbutton.h"
#include "common/rounding.h"
#include "common/twips.h"
#include "widgets/namedcontrols.h"
#include "app/canvaslayout.h"
#include "widgets/canvasview.h"
#include "app/panning.h"
#include "widgets/progressstrip.h"

#include <QIcon>

namespace Vorlane {

namespace {

// The frame of a classic desktop window: 4-pixel borders and a 19-pixel title
// bar, as the layout's offsets expect.
const QSize classicFramePixels(8, 27);

} // namespace

void MainWindow::createArrowButtons()
{
    struct Arrow
    {
        const char *name;
        const char *picture;
        PanDirection direction;
        QRect twips;
        const char *toolTip;
    };
    static const Arrow arrows[] = {
        {"up", ":/icons/up.svg", PanDirection::Up, QRect(4095, 105, 210, 210), "Move  centre  up"},
        {"dn", ":/icons/down.svg", PanDirection::Down, QRect(4095, 315, 210, 210), "Move  centre  down"},
        {"lt", ":/icons/left.svg", PanDirection::Left, QRect(4320, 179, 210, 210), "Move  centre  left"},
        {"rt", ":/icons/right.svg", PanDirection::Right, QRect(4500, 179, 210, 210), "Move  centre  right"},
    };
    for (const Arrow &arrow : arrows) {
        auto *button = placed<ArrowButton>(centralWidget(), arrow.name, arrow.twips);
        button->setToolTip(QLatin1String(arrow.toolTip));
        button->setIcon(QIcon(QLatin1String(arrow.picture)));
        button->setIconSize(button->size() - QSize(4, 4));
        const PanDirection direction = arrow.direction;
        connect(button, &ArrowButton::pressedWith, this,
                [this, direction](int modifierState) { pressArrow(direction, modifierState); });
        connect(button, &ArrowButton::releasedAnywhere, this, &MainWindow::restoreLastPicture);
    }
}

void MainWindow::showAxes()
{
    drawAxes(m_visibleCanvas->canvas(), m_session.document().centreX, m_session.document().centreY);
    m_visibleCanvas->update();
}

void MainWindow::pressArrow(PanDirection direction, int modifierState)
{
    FractalDocument moved = m_session.document();
    moveCentre(moved, direction, modifierState);
    m_session.setViewCentre(moved.centreX, moved.centreY);
    showAxes();
}

void MainWindow::restoreLastPicture()
{
    m_visibleCanvas->canvas().setPicture(m_tempBitmap.load());
    m_visibleCanvas->update();
}

void MainWindow::fitCanvasesToWindow()
{
    if (!isMinimized())
        layOutCanvases();
    resetScales();
}

void MainWindow::layOutCanvases()
{
    if (placeCanvasesFor(outerSizeTwips()))
        return;
    setOuterSizeTwips(fallbackWindowSizeTwips);
    placeCanvasesFor(fallbackWindowSizeTwips);
    m_progressBar->centreStatusLabel();
}

bool MainWindow::placeCanvasesFor(QSize outerTwips)
{
    const std::optional<CanvasLayout> layout = canvasLayout(outerTwips, clientHeightTwips(outerTwips));
    if (!layout)
        return false;
    m_visibleCanvas->setGeometry(twipsToPixels(layout->canvas));
    m_hiddenCanvas->setGeometry(twipsToPixels(layout->canvas));
    m_progressBar->setGeometry(twipsToPixels(layout->progressBar));
    return true;
}

void MainWindow::resetScales()
{
    const RasterCanvas &visible = m_visibleCanvas->canvas();
    m_session.setScales(toSingle(1.0 / visible.scaleWidth()), toSingle(1.0 / visible.scaleHeight()));
}

// The layout is measured by the window's outer size, frame included. Where the
// platform reports a window frame with a title bar (a window manager's
// decoration) that frame is taken. Otherwise the classic frame is added: with
// no window manager, before the window manager has framed the window, and
// offscreen, whose bare 2-pixel edge is no desktop frame.
QSize MainWindow::framePixels() const
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const bool hasTitleBar = client.top() - frame.top() > frame.bottom() - client.bottom();
    return hasTitleBar ? frame.size() - client.size() : classicFramePixels;
}

QSize MainWindow::outerSizeTwips() const
{
    return pixelsToTwips(size() + framePixels());
}

void MainWindow::setOuterSizeTwips(QSize twips)
{
    resize(QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height())) - framePixels());
}

// Worked out from the outer size rather than read, since a window manager
// may apply a new size only later.
int MainWindow::clientHeightTwips(QSize outerTwips) const
{
    return outerTwips.height() - pixelsToTwips(framePixels().height() + centralWidget()->y());
}

} // namespace Vorlane
