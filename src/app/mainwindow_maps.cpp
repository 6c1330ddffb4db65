// The main window's view commands: the maps' frames over the picture, zoom
// and Fit, the quick picture while the mouse drags, and rendering after every
// change when the user asks for it.
#include "app/mainwindow.h"

#include "surroundings/programstate.h"
#include "app/mapcanvas.h"
#include "app/maplistdock.h"
#include "render/exact/renderer.h"
#include "widgets/canvasview.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTimer>

namespace Vorlane {

namespace {

// A quick picture while dragging draws no more points than this, so that it
// follows the hand whatever the document's count.
constexpr qint32 previewPoints = 150000;
// Wheel turns and drags that follow each other this closely give one rendering.
constexpr int renderDelayMs = 150;

const QString renderAutomaticallyKey = QStringLiteral("view/renderAutomatically");
const QString mapListKey = QStringLiteral("view/mapList");

QSettings programSettings()
{
    return QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
}

} // namespace

void MainWindow::createViewCommands()
{
    Commands &c = m_commands;
    c.showMapsAction = addCommand("showMaps", tr("Show &Maps"), Qt::CTRL | Qt::SHIFT | Qt::Key_M);
    c.showMapsAction->setCheckable(true);
    c.zoomInAction = addCommand("zoomIn", tr("Zoom &In"));
    c.zoomInAction->setShortcuts({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal});
    c.zoomOutAction = addCommand("zoomOut", tr("Zoom &Out"), Qt::CTRL | Qt::Key_Minus);
    c.fitPictureAction = addCommand("fitPicture", tr("&Fit Picture"), Qt::CTRL | Qt::Key_0);
    c.renderAutomaticallyAction = addCommand("renderAutomatically", tr("Render &Automatically"));
    c.renderAutomaticallyAction->setCheckable(true);
    c.renderAutomaticallyAction->setChecked(programSettings().value(renderAutomaticallyKey, false).toBool());

    m_mapCanvas = new MapCanvas(*m_visibleCanvas, m_session, m_state, this);
    m_renderTimer = new QTimer(this);
    m_renderTimer->setSingleShot(true);
    m_renderTimer->setInterval(renderDelayMs);
    // Asked for by the mouse or a change rather than by the user's command, a
    // rendering of a document that cannot be rendered is left out silently.
    connect(m_renderTimer, &QTimer::timeout, this, [this] {
        if (renderProblem(m_session.document()).isEmpty())
            startRendering();
    });
    connect(m_mapCanvas, &MapCanvas::previewWanted, this, &MainWindow::showPreview);
    connect(m_mapCanvas, &MapCanvas::renderWanted, this, &MainWindow::renderSoon);
    connect(&m_session, &DocumentSession::changed, this, &MainWindow::renderAfterChange);
    connect(c.showMapsAction, &QAction::toggled, m_mapCanvas, &MapCanvas::showFrames);
    connect(c.zoomInAction, &QAction::triggered, m_mapCanvas, [this] { m_mapCanvas->zoomBy(MapCanvas::zoomStep); });
    connect(c.zoomOutAction, &QAction::triggered, m_mapCanvas, [this] { m_mapCanvas->zoomBy(1.0 / MapCanvas::zoomStep); });
    connect(c.fitPictureAction, &QAction::triggered, m_mapCanvas, &MapCanvas::fitPicture);
    connect(c.renderAutomaticallyAction, &QAction::toggled, this,
            [](bool on) { programSettings().setValue(renderAutomaticallyKey, on); });
    createMapList();
}

// Hidden until asked for, so the window opens as it always has.
void MainWindow::createMapList()
{
    QAction *&entry = m_commands.mapListAction;
    entry = addCommand("mapList", tr("Map Lis&t"), Qt::CTRL | Qt::SHIFT | Qt::Key_L);
    entry->setCheckable(true);
    m_mapList = new MapListDock(m_session, this);
    m_mapList->hide();
    addDockWidget(Qt::RightDockWidgetArea, m_mapList);
    const auto showSelection = [this] { m_mapList->showSelectedMap(m_mapCanvas->selectedMap()); };
    connect(&m_session, &DocumentSession::changed, m_mapList, [this, showSelection] {
        m_mapList->refresh();
        showSelection();
    });
    connect(m_mapCanvas, &MapCanvas::mapSelected, m_mapList, &MapListDock::showSelectedMap);
    connect(m_mapList, &MapListDock::mapChosen, m_mapCanvas, &MapCanvas::selectMap);
    connect(m_mapList, &MapListDock::mapOpened, this, &MainWindow::editTransformationsOn);
    connect(entry, &QAction::toggled, this, &MainWindow::showMapList);
    entry->setChecked(programSettings().value(mapListKey, false).toBool());
    showSelection();
}

void MainWindow::showMapList(bool on)
{
    m_mapList->setVisible(on);
    programSettings().setValue(mapListKey, on);
}

void MainWindow::addViewCommands(QMenu *run)
{
    const Commands &c = m_commands;
    run->addSeparator()->setObjectName(QStringLiteral("dash8"));
    run->addActions({c.showMapsAction, c.zoomInAction, c.zoomOutAction, c.fitPictureAction, c.renderAutomaticallyAction});
}

// The exact renderer on a copy of the program's random numbers, so that the
// rendering that follows draws the same points.
void MainWindow::showPreview(const FractalDocument &document)
{
    if (!renderProblem(document).isEmpty())
        return;
    FractalDocument view = m_mapCanvas->viewport().viewDocument(document);
    view.settings.totalPoints = std::min(view.settings.totalPoints, previewPoints);
    RasterCanvas picture = m_hiddenCanvas->canvas();
    picture.clear();
    RandomGenerator random = m_state.random;
    renderPicture(view, picture, random);
    m_visibleCanvas->canvas().setPicture(picture.persistentImage());
    m_visibleCanvas->update();
}

void MainWindow::renderSoon()
{
    m_renderTimer->start();
}

// The view centre and the scales change without the picture: the arrow
// buttons show the axes, a resize leaves the picture, and the mouse asks for
// its own rendering.
void MainWindow::renderAfterChange(DocumentParts parts)
{
    const DocumentParts viewOnly = DocumentPart::ViewCentre | DocumentPart::Scales;
    if (m_commands.renderAutomaticallyAction->isChecked() && (parts & ~viewOnly))
        renderSoon();
}

} // namespace Vorlane
