#include "mainwindow.h"

#include "common/rounding.h"
#include "common/twips.h"
#include "dialogs.h"
#include "document/colour.h"
#include "document/programstate.h"
#include "render/canvasrendertarget.h"
#include "render/canvasview.h"
#include "render/progressstrip.h"
#include "render/renderer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QToolButton>

namespace Vorlane {

namespace {

// The visible canvas's colour until a document sets one.
constexpr qint32 initialBackColour = rgbColour(254, 253, 245);

QToolButton *pictureButton(QWidget *parent, const char *name, QAction *action, QRect twipsGeometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setDefaultAction(action);
    button->setGeometry(twipsToPixels(twipsGeometry));
    button->setIconSize(button->size() - QSize(6, 6));
    button->setAutoRaise(false);
    return button;
}

} // namespace

MainWindow::MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_blankBitmap(state.appDir + QLatin1String("BLANK.BMP"))
    , m_tempBitmap(state.appDir + QLatin1String("TEMP.BMP"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vorlane 2.0"));

    auto *client = new QWidget(this);
    setCentralWidget(client);
    m_hiddenCanvas = new CanvasView(initialBackColour, client);
    m_hiddenCanvas->setObjectName(QStringLiteral("Pctr2"));
    m_hiddenCanvas->hide();
    m_visibleCanvas = new CanvasView(initialBackColour, client);
    m_visibleCanvas->setObjectName(QStringLiteral("Pctr1"));
    m_progressBar = new ProgressStrip(client);

    createActions();
    createMenus();
    createToolbar();

    resize(twipsToPixels(initialClientWidthTwips),
           twipsToPixels(initialClientHeightTwips) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::createActions()
{
    m_startAction = new QAction(tr("Sta&rt"), this);
    m_startAction->setObjectName(QStringLiteral("start"));
    m_startAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_startAction->setToolTip(QStringLiteral("Start rendering"));
    connect(m_startAction, &QAction::triggered, this, &MainWindow::startRendering);
}

void MainWindow::createMenus()
{
    QMenu *renderMenu = menuBar()->addMenu(tr("&Render"));
    renderMenu->setObjectName(QStringLiteral("run"));
    renderMenu->addAction(m_startAction);
}

void MainWindow::createToolbar()
{
    m_startButton = pictureButton(centralWidget(), "Cmd1", m_startAction, QRect(2970, 55, 450, 450));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutCanvases();
}

void MainWindow::layoutCanvases()
{
    const QSize client = pixelsToTwips(centralWidget()->size());
    const QRect canvas(120, 720, client.width() - 225, client.height() - 1185);
    m_visibleCanvas->setGeometry(twipsToPixels(canvas));
    m_hiddenCanvas->setGeometry(twipsToPixels(canvas));
    m_progressBar->setGeometry(twipsToPixels(QRect(120, client.height() - 360, canvas.width(), 255)));
    const RasterCanvas &visible = m_visibleCanvas->canvas();
    m_state.document.settings.scaleX = toSingle(1.0 / visible.scaleWidth());
    m_state.document.settings.scaleY = toSingle(1.0 / visible.scaleHeight());
}

void MainWindow::initialiseDocument()
{
    RasterCanvas &visible = m_visibleCanvas->canvas();
    RasterCanvas &hidden = m_hiddenCanvas->canvas();
    m_state.document = startupDocument(toSingle(1.0 / visible.scaleWidth()),
                                       toSingle(1.0 / visible.scaleHeight()), visible.backColour());
    m_state.currentFile.clear();
    m_state.modified = 0;
    visible.setBackColour(m_state.document.colours.backColour);
    hidden.setBackColour(m_state.document.colours.backColour);
    m_blankBitmap.store(visible.persistentImage());
    m_progressBar->centreStatusLabel();
    m_tempBitmap.store(hidden.persistentImage());
    m_visibleCanvas->update();
}

void MainWindow::showProgress(qint32 stepsDone)
{
    m_progressBar->setStepsDone(stepsDone);
    // No events run during a rendering; paint now so the picture grows visibly.
    m_visibleCanvas->repaint();
    m_progressBar->repaint();
}

void MainWindow::startRendering()
{
    const QString problem = renderProblem(m_state.document);
    if (!problem.isEmpty()) {
        m_dialogs.warn(this, tr("Cannot Render"), problem);
        return;
    }
    RasterCanvas &visible = m_visibleCanvas->canvas();
    RasterCanvas &hidden = m_hiddenCanvas->canvas();

    visible.setPicture(m_blankBitmap.load());
    visible.clear();
    hidden.clear();
    visible.setPersistentDrawing(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progressBar->statusLabel()->setText(QStringLiteral("In Progress"));
    m_progressBar->centreStatusLabel();

    CanvasRenderTarget target(visible, hidden, [this](qint32 stepsDone) { showProgress(stepsDone); });
    renderFractal(m_state.document, visible.scaleWidth(), visible.scaleHeight(), m_state.random, target);

    m_progressBar->setStepsDone(0);
    m_progressBar->statusLabel()->clear();
    QApplication::restoreOverrideCursor();
    visible.setPersistentDrawing(true);
    m_tempBitmap.store(hidden.persistentImage());
    visible.setPicture(m_tempBitmap.load());
    m_visibleCanvas->update();
}

} // namespace Vorlane
