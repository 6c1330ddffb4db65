#pragma once

#include "render/view/mapframes.h"

#include <QList>
#include <QPolygonF>
#include <QString>

class QColor;
class QPainter;

namespace Vorlane {

// A map's frame as the canvas shows it, in pixels.
struct FrameOnScreen
{
    QPolygonF corners;     // MapFrame's corners, in its order
    QPointF rotationHandle; // beyond the middle of the top edge
    QString name;

    QPointF topMiddle() const { return (corners[0] + corners[1]) / 2.0; }
};

// One map's frame as the viewport shows it; units as unitScale gives them.
FrameOnScreen frameOnScreen(const Transformation &map, QPointF units, const Viewport &viewport, const Extent &extent);

// The frames of every map of the document as the viewport shows them.
QList<FrameOnScreen> framesOnScreen(const FractalDocument &document, const Viewport &viewport, const Extent &extent);

// What the pointer holds of a frame.
struct FrameGrip
{
    enum Part { Nothing, Inside, Corner, Rotation };
    int map = -1; // index into the document's transformations
    Part part = Nothing;
    int corner = 0; // for Corner: 0 to 3, as in MapFrame
};

// The frame part under a pixel position: the handles of the selected map
// come first, then those of the others, the later maps before the earlier,
// then the inside of the smallest frame that holds the point.
FrameGrip gripAt(const QList<FrameOnScreen> &frames, int selectedMap, QPointF pixels);

// Draws one frame in the colour, with its name, a mark on corner 0, the
// corner handles and the rotation handle; a selected frame thicker.
void paintFrame(QPainter &painter, const FrameOnScreen &frame, const QColor &colour, bool selected);

// Draws the frames over the picture, each in its map's colour, with its
// name, a mark on corner 0, the corner handles and the rotation handle; the
// selected map's frame is drawn thicker.
void paintFrames(QPainter &painter, const QList<FrameOnScreen> &frames, int selectedMap);

} // namespace Vorlane
