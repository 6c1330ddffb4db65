// The main window's views for a lesson: the levels, the chaos game in slow
// motion, colour by map, the fractal's dimension and the full-screen canvas.
#include "app/mainwindow.h"

#include "app/fractaldimensionwindow.h"
#include "app/fullscreencanvas.h"
#include "app/levelspanel.h"
#include "app/slowmotionwindow.h"
#include "surroundings/programstate.h"
#include "widgets/canvasview.h"

#include <QAction>
#include <QMenu>

namespace Vorlane {

void MainWindow::addLessonCommands(QMenu *run)
{
    LessonCommands &c = m_lesson;
    c.levels = addCommand("levels", tr("Show &Levels..."));
    c.slowMotion = addCommand("slowMotion", tr("&Slow Motion..."));
    // A view of the window, never stored: off at every start.
    c.colourByMap = addCommand("colourByMap", tr("&Colour by Map"));
    c.colourByMap->setCheckable(true);
    c.dimension = addCommand("dimension", tr("Fractal &Dimension..."));
    c.fullScreen = addCommand("fullScreen", tr("F&ull Screen"), Qt::Key_F11);
    connect(c.fullScreen, &QAction::triggered, this, &MainWindow::showCanvasFullScreen);
    connect(c.levels, &QAction::triggered, this, &MainWindow::showLevels);
    connect(c.slowMotion, &QAction::triggered, this, &MainWindow::showSlowMotion);
    connect(c.dimension, &QAction::triggered, this, &MainWindow::showFractalDimension);
    run->addActions({c.levels, c.slowMotion, c.colourByMap, c.dimension, c.fullScreen});
}

void MainWindow::showLevels()
{
    if (!m_levelsPanel) {
        m_levelsPanel = new LevelsPanel(this);
        connect(m_levelsPanel, &LevelsPanel::pictureChanged, this, [this](const QImage &picture) {
            m_visibleCanvas->canvas().setPicture(picture);
            m_visibleCanvas->update();
        });
        connect(m_levelsPanel, &QDialog::finished, this, &MainWindow::restoreLastPicture);
    }
    m_levelsPanel->present(m_session.document(), m_visibleCanvas->canvas().pixelSize());
}

void MainWindow::showSlowMotion()
{
    if (!documentRenders())
        return;
    if (!m_slowMotion)
        m_slowMotion = new SlowMotionWindow(this);
    m_slowMotion->present(m_session.document(), m_visibleCanvas->canvas().pixelSize(), m_state.random);
}

void MainWindow::showFractalDimension()
{
    if (!m_dimensionWindow)
        m_dimensionWindow = new FractalDimensionWindow(this);
    m_dimensionWindow->present(m_session.document(), m_hiddenCanvas->canvas().persistentImage());
}

void MainWindow::showCanvasFullScreen()
{
    if (!documentRenders())
        return;
    if (!m_fullScreen)
        m_fullScreen = new FullScreenCanvas(this);
    m_fullScreen->present(m_session.document(), m_visibleCanvas->canvas().pixelSize(), m_state.random);
}

} // namespace Vorlane
