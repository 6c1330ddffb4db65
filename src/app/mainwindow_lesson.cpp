// The main window's views for a lesson: the levels, the chaos game in slow
// motion, colour by map, the fractal's dimension and the full-screen canvas.
#include "mainwindow.h"

#include "fractaldimensionwindow.h"
#include "document/programstate.h"
#include "levelspanel.h"
#include "render/renderer.h"
#include "slowmotionwindow.h"
#include "ui/dialogs.h"
#include "ui/canvasview.h"

#include <QAction>
#include <QMenu>

namespace Vorlane {

void MainWindow::addLessonCommands(QMenu *run)
{
    LessonCommands &c = m_lesson;
    c.levels = addCommand("levels", tr("Show &Levels..."));
    c.slowMotion = addCommand("slowMotion", tr("&Slow Motion..."));
    c.dimension = addCommand("dimension", tr("Fractal &Dimension..."));
    connect(c.levels, &QAction::triggered, this, &MainWindow::showLevels);
    connect(c.slowMotion, &QAction::triggered, this, &MainWindow::showSlowMotion);
    connect(c.dimension, &QAction::triggered, this, &MainWindow::showFractalDimension);
    run->addActions({c.levels, c.slowMotion, c.dimension});
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
    const QString problem = renderProblem(m_session.document());
    if (!problem.isEmpty()) {
        m_dialogs.warn(this, tr("Cannot Render"), problem);
        return;
    }
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

} // namespace Vorlane
