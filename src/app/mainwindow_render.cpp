// The main window's work on its canvases: start-up, rendering, reading a
// document into them.
#include "app/mainwindow.h"

#include "common/rounding.h"
#include "widgets/dialogs.h"
#include "document/documentfile.h"
#include "surroundings/programstate.h"
#include "app/escapablerun.h"
#include "app/mapcanvas.h"
#include "widgets/canvasview.h"
#include "widgets/progressstrip.h"
#include "render/exact/renderer.h"
#include "render/lesson/slowmotion.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <mutex>

namespace Vorlane {

namespace {

// The picture of a run as far as it has gone, handed from the run's threads
// to the window: one copy at a time, taken when the window has shown the last.
class GrowingPicture
{
public:
    explicit GrowingPicture(const RasterCanvas &picture)
        : m_picture(picture)
    {
    }

    // On the run's thread, while the picture holds a whole prefix of the run.
    void take()
    {
        if (!m_wanted.exchange(false))
            return;
        QImage copy = m_picture.persistentImage().copy();
        const std::lock_guard lock(m_mutex);
        m_taken = std::move(copy);
    }

    // On the window's thread: true when there was a new picture to show.
    bool showOn(RasterCanvas &canvas)
    {
        const std::lock_guard lock(m_mutex);
        if (m_taken.isNull())
            return false;
        canvas.drawImage(m_taken);
        m_taken = QImage();
        m_wanted = true;
        return true;
    }

private:
    const RasterCanvas &m_picture;
    std::atomic<bool> m_wanted = true;
    std::mutex m_mutex;
    QImage m_taken;
};

} // namespace

void MainWindow::initialiseDocument(const QString &commandLineDocument)
{
    // A refused document would leave nothing to render: the start-up document
    // takes its place.
    std::optional<FractalDocument> read;
    if (!commandLineDocument.isEmpty())
        read = loadDocument(commandLineDocument);
    if (read)
        m_session.begin(*read, commandLineDocument);
    else
        buildStartupDocument();
    m_progressBar->centreStatusLabel();
    m_tempBitmap.store(m_hiddenCanvas->canvas().persistentImage());
    m_visibleCanvas->update();
}

void MainWindow::buildStartupDocument()
{
    const RasterCanvas &visible = m_visibleCanvas->canvas();
    // The canvases take the new background, and "BLANK.BMP" is written, as
    // the session announces the document.
    m_session.begin(startupDocument(toSingle(1.0 / visible.scaleWidth()), toSingle(1.0 / visible.scaleHeight()),
                                    visible.backColour()));
}

// Steps that change the colours, done or undone, leave the canvases blank in
// the background colour, so that the next rendering starts from it.
void MainWindow::showDocumentChange(DocumentParts parts)
{
    if (parts.testFlag(DocumentPart::Colours))
        resetCanvases();
}

void MainWindow::resetCanvases()
{
    RasterCanvas &visible = m_visibleCanvas->canvas();
    RasterCanvas &hidden = m_hiddenCanvas->canvas();
    visible.clear();
    hidden.clear();
    visible.setBackColour(m_session.document().colours.backColour);
    hidden.setBackColour(m_session.document().colours.backColour);
    m_blankBitmap.store(hidden.persistentImage());
    visible.setPicture(m_blankBitmap.load());
    m_visibleCanvas->update();
}

std::optional<FractalDocument> MainWindow::loadDocument(const QString &path)
{
    std::optional<FractalDocument> read = loadDocumentFile(path, m_session.document());
    if (!read) {
        m_dialogs.warn(this, QStringLiteral("Error Opening File"),
                       QLatin1Char('\'') + path + QLatin1Char('\'') + QLatin1String(" doesnot contain a valied Fractal Image"));
    }
    return read;
}

bool MainWindow::readDocumentFile(const QString &path)
{
    const std::optional<FractalDocument> read = loadDocument(path);
    if (read)
        m_session.openDocument(*read, path);
    return read.has_value();
}

bool MainWindow::documentRenders()
{
    const QString problem = renderProblem(m_session.document());
    if (!problem.isEmpty())
        m_dialogs.warn(this, tr("Cannot Render"), problem);
    return problem.isEmpty();
}

void MainWindow::renderInViewMode(const FractalDocument &document, RasterCanvas &picture, const RunControl &run)
{
    if (m_lesson.colourByMap->isChecked())
        drawRunByMap(document, picture, m_state.random, run);
    else
        renderPicture(document, picture, m_state.random, run);
}

void MainWindow::startRendering()
{
    if (!documentRenders())
        return;
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
    m_renderTimer->stop();
    const FractalDocument document = m_mapCanvas->viewport().viewDocument(m_session.document());
    RasterCanvas picture = m_hiddenCanvas->canvas();
    std::atomic<bool> escPressed = false;
    std::atomic<qint32> stepsDone = 0;
    GrowingPicture growing(picture);
    RunControl run;
    run.stop = &escPressed;
    run.onProgress = [&stepsDone](qint64 steps, qint64) { stepsDone = qint32(steps); };
    run.onPrefixDrawn = [&growing](qint64) { growing.take(); };
    runAnsweringOnlyEsc(
        escPressed, [&] { renderInViewMode(document, picture, run); },
        [this, &stepsDone, &growing] {
            m_progressBar->setStepsDone(stepsDone);
            if (growing.showOn(m_visibleCanvas->canvas()))
                m_visibleCanvas->update();
        });
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
