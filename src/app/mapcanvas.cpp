#include "app/mapcanvas.h"

#include "surroundings/programstate.h"
#include "render/view/mapframes.h"
#include "widgets/canvasview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace Vorlane {

namespace {

QString stepName(FrameGrip::Part part)
{
    switch (part) {
    case FrameGrip::Corner:
        return MapCanvas::tr("Scale Transformation");
    case FrameGrip::Rotation:
        return MapCanvas::tr("Rotate Transformation");
    default:
        return MapCanvas::tr("Move Transformation");
    }
}

Qt::CursorShape cursorFor(FrameGrip::Part part)
{
    switch (part) {
    case FrameGrip::Inside:
        return Qt::SizeAllCursor;
    case FrameGrip::Corner:
        return Qt::SizeFDiagCursor;
    case FrameGrip::Rotation:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

MapCanvas::MapCanvas(CanvasView &canvas, DocumentSession &session, ProgramState &state, QObject *parent)
    : QObject(parent)
    , m_canvas(canvas)
    , m_session(session)
    , m_state(state)
{
    m_canvas.installEventFilter(this);
    connect(&m_session, &DocumentSession::changed, this, [this](DocumentParts parts) {
        if (parts & ~DocumentParts(DocumentPart::ViewCentre))
            m_extentStale = true;
        if (m_framesShown)
            m_canvas.update();
    });
    m_canvas.setOverlay([this](QPainter &painter) {
        if (m_framesShown && extent())
            paintFrames(painter, frames(), selectedMap());
    });
}

Viewport MapCanvas::viewport() const
{
    const RasterCanvas &canvas = m_canvas.canvas();
    const FractalDocument &document = m_session.document();
    return {m_zoom, canvas.scaleWidth(), canvas.scaleHeight(), document.centreX, document.centreY};
}

const std::optional<Extent> &MapCanvas::extent()
{
    if (m_extentStale) {
        const RasterCanvas &canvas = m_canvas.canvas();
        m_extent = pictureExtent(m_session.document(), canvas.scaleWidth(), canvas.scaleHeight());
        m_extentStale = false;
    }
    return m_extent;
}

void MapCanvas::showFrames(bool on)
{
    m_framesShown = on;
    m_canvas.setMouseTracking(on);
    if (!on)
        m_canvas.unsetCursor();
    m_canvas.update();
}

int MapCanvas::selectedMap() const
{
    return m_state.selectedTr - 1;
}

void MapCanvas::selectMap(int index)
{
    m_state.selectedTr = qint16(index + 1);
    m_canvas.update();
    Q_EMIT mapSelected(index);
}

void MapCanvas::zoomBy(double factor)
{
    const QPointF middle(m_canvas.width() / 2.0, m_canvas.height() / 2.0);
    setView(viewport().zoomedAbout(middle, factor, extent()));
}

void MapCanvas::fitPicture()
{
    if (extent())
        setView(viewport().fitting(*extent()));
}

void MapCanvas::setView(const Viewport &view)
{
    m_zoom = view.zoom;
    m_session.setViewCentre(view.centreX, view.centreY);
    Q_EMIT previewWanted(m_session.document());
    Q_EMIT renderWanted();
}

const FractalDocument &MapCanvas::shownDocument() const
{
    return m_drag ? m_drag->now : m_session.document();
}

QList<FrameOnScreen> MapCanvas::frames()
{
    return framesOnScreen(shownDocument(), viewport(), *extent());
}

bool MapCanvas::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_canvas)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        press(mouse->position(), mouse->button());
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        move(mouse->position(), mouse->modifiers());
        return true;
    }
    case QEvent::MouseButtonRelease:
        release();
        return true;
    case QEvent::Wheel: {
        const auto *wheelEvent = static_cast<QWheelEvent *>(event);
        wheel(wheelEvent->position(), wheelEvent->angleDelta().y());
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void MapCanvas::press(QPointF pixels, Qt::MouseButton button)
{
    if (m_drag || m_pan)
        return;
    const FrameGrip grip = button == Qt::LeftButton && m_framesShown && extent()
        ? gripAt(frames(), selectedMap(), pixels)
        : FrameGrip{};
    if (grip.part == FrameGrip::Nothing) {
        if (button == Qt::LeftButton || button == Qt::MiddleButton)
            m_pan = Pan{pixels, viewport()};
        return;
    }
    selectMap(grip.map);
    QPointF from = viewport().toFractal(pixels);
    if (grip.part == FrameGrip::Corner) {
        // The corner itself is taken, wherever within reach the press was.
        const FractalDocument &document = m_session.document();
        const QPointF units = unitScale(document, viewport().scaleWidth, viewport().scaleHeight);
        from = mapFrame(document.transformations.at(grip.map), units, *extent()).corners[std::size_t(grip.corner)];
    }
    m_drag = MapDrag{grip, from, m_session.document(), m_session.document()};
    m_canvas.update();
}

void MapCanvas::move(QPointF pixels, Qt::KeyboardModifiers modifiers)
{
    if (m_drag) {
        dragMapTo(pixels, modifiers.testFlag(Qt::ShiftModifier));
    } else if (m_pan) {
        const Viewport panned = m_pan->before.pannedBy(m_pan->from, pixels);
        m_pan->moved = true;
        m_session.setViewCentre(panned.centreX, panned.centreY);
        Q_EMIT previewWanted(m_session.document());
    } else if (m_framesShown && extent()) {
        m_canvas.setCursor(cursorFor(gripAt(frames(), selectedMap(), pixels).part));
    }
}

void MapCanvas::dragMapTo(QPointF pixels, bool shift)
{
    const int map = m_drag->grip.map;
    const Transformation &before = m_drag->before.transformations.at(map);
    const QPointF units = unitScale(m_drag->before, viewport().scaleWidth, viewport().scaleHeight);
    const QPointF to = viewport().toFractal(pixels);
    Transformation &now = m_drag->now.transformations[map];
    switch (m_drag->grip.part) {
    case FrameGrip::Corner:
        now = scaledMap(before, units, *extent(), m_drag->grip.corner, to, shift);
        break;
    case FrameGrip::Rotation:
        now = rotatedMap(before, units, *extent(), m_drag->from, to, shift);
        break;
    default:
        now = movedMap(before, units, m_drag->from, to);
        break;
    }
    Q_EMIT previewWanted(m_drag->now);
    m_canvas.update();
}

void MapCanvas::release()
{
    if (m_pan) {
        const bool moved = m_pan->moved;
        m_pan.reset();
        if (moved)
            Q_EMIT renderWanted();
        return;
    }
    if (!m_drag)
        return;
    const MapDrag drag = *m_drag;
    m_drag.reset();
    m_canvas.update();
    if (drag.now == drag.before)
        return;
    const Transformation changed = drag.now.transformations.at(drag.grip.map);
    m_session.change(stepName(drag.grip.part), DocumentPart::Transformations, Modification::Sets,
                     [&](FractalDocument &document) {
                         document.transformations[drag.grip.map] = changed;
                         return true;
                     });
    Q_EMIT renderWanted();
}

void MapCanvas::wheel(QPointF pixels, int angleDelta)
{
    if (angleDelta == 0 || m_drag || m_pan)
        return;
    setView(viewport().zoomedAbout(pixels, std::pow(zoomStep, angleDelta / 120.0), extent()));
}

} // namespace Vorlane
