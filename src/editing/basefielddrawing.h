#pragma once

#include "editing/basefieldcapture.h"
#include "editing/basefieldeditorstate.h"
#include "document/colour.h"
#include "surroundings/programstate.h"
#include "render/picturefile/bitmapfile.h"
#include "render/exact/rastercanvas.h"

#include <array>

namespace Vorlane {

struct PenSweep;

// The base field editor's picture and its drawing tools, without a window.
// The area is W × H document units, W = fieldXMax − fieldXMin and
// H = fieldYMax − fieldYMin, one unit a twip, 15 to a pixel; area
// coordinates (u, v) run right and down from its top left. Every commit
// writes the area to the commit file and keeps it as the snapshot that the
// line and ellipse tools restore before each frame; the snapshot is taken
// from memory, never read back from a file another instance may share.
class BaseFieldDrawing
{
public:
    static constexpr qint32 background = rgbColour(224, 224, 224);
    static constexpr qint32 ink = rgbColour(0, 0, 0);

    // The four numeric fields: x1, y1, x2, y2 for a line; centre X, centre Y,
    // X and Y extent for an ellipse; display values.
    using NumericInput = std::array<QString, 4>;

    BaseFieldDrawing(const FieldRange &range, const QString &commitPath, BaseFieldEditorState &state,
                     OwnedFiles *workingFiles = nullptr);

    float width() const { return float(m_width); }
    float height() const { return float(m_height); }
    const RasterCanvas &area() const { return m_area; }
    const QImage &snapshot() const { return m_snapshot; }
    BaseFieldEditorState &state() { return m_state; }

    // Opening: plots every base point as one ink pixel and commits.
    void open(const QList<BasePoint> &points);

    void press(float u, float v);
    // One frame of the current tool, while dragging.
    void move(float u, float v);
    // A release on the area, and "&Accept" alike: commits and ends dragging.
    void release();

    // A press and one move at the typed shape, for the line and ellipse
    // tools; nothing for the others.
    void manual(const NumericInput &fields, float scaleX, float scaleY);

    BaseFieldCapture capture(RandomGenerator &random, const std::function<void(qint32 colour)> &columnDone) const;

private:
    void commit();
    void restore();
    void sweepLines(const PenSweep &pen, float u, float v, qint32 colour);
    void sweepEllipses(const PenSweep &pen, float u, float v);
    void moveAnchor(float u, float v);

    FieldRange m_range;
    int m_width;
    int m_height;
    RasterCanvas m_area;
    HandOverBitmap m_commitFile;
    QImage m_snapshot;
    BaseFieldEditorState &m_state;
};

} // namespace Vorlane
