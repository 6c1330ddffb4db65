// The main window's work on its canvases: start-up, rendering, reading a
// document into them.
#include "mainwindow.h"

#include "common/rounding.h"
#include "dialogs.h"
#include "document/documentfile.h"
#include "document/programstate.h"
#include "escapablerun.h"
#include "render/canvasview.h"
#include "render/progressstrip.h"
#include "render/renderer.h"

#include <QApplication>
#include <QLabel>

namespace Vorlane {

void MainWindow::initialiseDocument(const QString &commandLineDocument)
{
    // A refused document would leave nothing to render: the start-up document
    // takes its place.
    if (commandLineDocument.isEmpty() || !readDocumentFile(commandLineDocument))
        buildStartupDocument();
    m_progressBar->centreStatusLabel();
    m_tempBitmap.store(m_hiddenCanvas->canvas().persistentImage());
    m_visibleCanvas->update();
}

void MainWindow::buildStartupDocument()
{
    RasterCanvas &visible = m_visibleCanvas->canvas();
    RasterCanvas &hidden = m_hiddenCanvas->canvas();
    m_state.document = startupDocument(toSingle(1.0 / visible.scaleWidth()), toSingle(1.0 / visible.scaleHeight()),
                                       visible.backColour());
    m_state.currentFile.clear();
    m_state.modified = 0;
    visible.setBackColour(m_state.document.colours.backColour);
    hidden.setBackColour(m_state.document.colours.backColour);
    m_blankBitmap.store(visible.persistentImage());
}

void MainWindow::resetCanvases()
{
    RasterCanvas &visible = m_visibleCanvas->canvas();
    RasterCanvas &hidden = m_hiddenCanvas->canvas();
    visible.clear();
    hidden.clear();
    visible.setBackColour(m_state.document.colours.backColour);
    hidden.setBackColour(m_state.document.colours.backColour);
    m_blankBitmap.store(hidden.persistentImage());
    visible.setPicture(m_blankBitmap.load());
    m_visibleCanvas->update();
}

bool MainWindow::readDocumentFile(const QString &path)
{
    std::optional<FractalDocument> read = loadDocumentFile(path, m_state.document);
    if (!read) {
        m_dialogs.warn(this, QStringLiteral("Error Opening File"),
                       QLatin1Char('\'') + path + QLatin1Char('\'') + QLatin1String(" doesnot contain a valied Fractal Image"));
        return false;
    }
    m_state.document = std::move(*read);
    resetCanvases();
    m_state.currentFile = path;
    m_state.modified = 0;
    return true;
}

void MainWindow::startRendering()
{
    const QString problem = renderProblem(m_state.document);
    if (!problem.isEmpty()) {
        m_dialogs.warn(this, tr("Cannot Render"), problem);
        return;
    }
    RasterCanvas &visible = m_visibleCanvas->canvas();

    visible.setPicture(m_blankBitmap.load());
    visible.clear();
    m_hiddenCanvas->canvas().clear();
    visible.setPersistentDrawing(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progressBar->statusLabel()->setText(QStringLiteral("In Progress"));
    m_progressBar->centreStatusLabel();
    m_visibleCanvas->update();

    // The run works on copies: the window may be resized while it goes on.
    const FractalDocument document = m_state.document;
    RasterCanvas picture = m_hiddenCanvas->canvas();
    std::atomic<bool> escPressed = false;
    std::atomic<qint32> stepsDone = 0;
    PictureRun run;
    run.stop = &escPressed;
    run.onProgress = [&stepsDone](qint32 steps) { stepsDone = steps; };
    runAnsweringOnlyEsc(
        escPressed, [&] { renderPicture(document, picture, m_state.random, run); },
        [this, &stepsDone] { m_progressBar->setStepsDone(stepsDone); });
    m_hiddenCanvas->canvas() = picture;

    m_progressBar->setStepsDone(0);
    m_progressBar->statusLabel()->clear();
    QApplication::restoreOverrideCursor();
    visible.setPersistentDrawing(true);
    m_tempBitmap.store(m_hiddenCanvas->canvas().persistentImage());
    visible.setPicture(m_tempBitmap.load());
    m_visibleCanvas->update();
}

} // namespace Vorlane
