#include "widgets/mapframeview.h"

#include "document/fractaldocument.h"
#include "render/chaos/mapcolours.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>

namespace Vorlane {

namespace {

// Pixels: how far the rotation handle stands off the frame, and how near the
// pointer must come to a handle to take it.
constexpr double rotationHandleDistance = 22.0;
constexpr double handleReach = 6.0;

bool near(QPointF a, QPointF b)
{
    return QLineF(a, b).length() <= handleReach;
}

// A handle of one frame under the point, or Nothing.
FrameGrip handleAt(const FrameOnScreen &frame, int map, QPointF pixels)
{
    if (near(frame.rotationHandle, pixels))
        return {map, FrameGrip::Rotation, 0};
    for (int corner = 0; corner < 4; ++corner) {
        if (near(frame.corners[corner], pixels))
            return {map, FrameGrip::Corner, corner};
    }
    return {};
}

// Along the edge from corner to next: an eighth of it, and at most 12 pixels.
QPointF markSide(QPointF corner, QPointF next)
{
    QLineF edge(corner, next);
    edge.setLength(std::min(edge.length() / 8.0, 12.0));
    return edge.p2() - corner;
}

// The absolute area of a frame, for telling the inner of nested frames.
double area(const QPolygonF &corners)
{
    const QPointF a = corners[1] - corners[0];
    const QPointF b = corners[3] - corners[0];
    return std::abs(a.x() * b.y() - a.y() * b.x());
}

} // namespace

FrameOnScreen frameOnScreen(const Transformation &map, QPointF units, const Viewport &viewport, const Extent &extent)
{
    const MapFrame frame = mapFrame(map, units, extent);
    FrameOnScreen onScreen;
    for (const QPointF &corner : frame.corners)
        onScreen.corners.append(viewport.toPixels(corner));
    const QPointF centre = viewport.toPixels(frame.centre());
    QLineF outward(centre, onScreen.topMiddle());
    if (outward.length() > 0.0)
        outward.setLength(outward.length() + rotationHandleDistance);
    else
        outward = QLineF(centre, centre - QPointF(0.0, rotationHandleDistance));
    onScreen.rotationHandle = outward.p2();
    onScreen.name = map.name.trimmed();
    return onScreen;
}

QList<FrameOnScreen> framesOnScreen(const FractalDocument &document, const Viewport &viewport, const Extent &extent)
{
    const QPointF units = unitScale(document, viewport.scaleWidth, viewport.scaleHeight);
    QList<FrameOnScreen> frames;
    for (const Transformation &map : document.transformations)
        frames.append(frameOnScreen(map, units, viewport, extent));
    return frames;
}

FrameGrip gripAt(const QList<FrameOnScreen> &frames, int selectedMap, QPointF pixels)
{
    if (selectedMap >= 0 && selectedMap < frames.size()) {
        const FrameGrip grip = handleAt(frames[selectedMap], selectedMap, pixels);
        if (grip.part != FrameGrip::Nothing)
            return grip;
    }
    for (int map = int(frames.size()) - 1; map >= 0; --map) {
        const FrameGrip grip = handleAt(frames[map], map, pixels);
        if (grip.part != FrameGrip::Nothing)
            return grip;
    }
    FrameGrip inside;
    double smallest = 0.0;
    for (int map = 0; map < frames.size(); ++map) {
        const double frameArea = area(frames[map].corners);
        if (frames[map].corners.containsPoint(pixels, Qt::OddEvenFill) && (inside.map < 0 || frameArea <= smallest)) {
            inside = {map, FrameGrip::Inside, 0};
            smallest = frameArea;
        }
    }
    return inside;
}

void paintFrame(QPainter &painter, const FrameOnScreen &frame, const QColor &colour, bool selected)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, selected ? 2.5 : 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(frame.corners);
    painter.drawLine(frame.topMiddle(), frame.rotationHandle);
    painter.setBrush(colour);
    // Corner 0's mark: a filled triangle inside the corner, so a mirror or turn shows.
    const QPointF along = markSide(frame.corners[0], frame.corners[1]);
    const QPointF down = markSide(frame.corners[0], frame.corners[3]);
    painter.drawPolygon(QPolygonF({frame.corners[0], frame.corners[0] + along, frame.corners[0] + down}));
    painter.setBrush(selected ? colour : QColor(Qt::white));
    for (const QPointF &corner : frame.corners)
        painter.drawRect(QRectF(corner - QPointF(3.5, 3.5), QSizeF(7.0, 7.0)));
    painter.drawEllipse(frame.rotationHandle, 4.0, 4.0);
    painter.setPen(colour);
    painter.drawText(frame.corners[0] + down * 2.0 + along * 0.5, frame.name);
    painter.restore();
}

void paintFrames(QPainter &painter, const QList<FrameOnScreen> &frames, int selectedMap)
{
    for (int map = 0; map < frames.size(); ++map)
        paintFrame(painter, frames[map], QColor::fromRgb(mapColour(map)), map == selectedMap);
}

} // namespace Vorlane
