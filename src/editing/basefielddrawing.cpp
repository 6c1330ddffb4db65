#include "editing/basefielddrawing.h"

#include "common/numbertext.h"
#include "common/rounding.h"
#include "editing/pensweep.h"

#include <cmath>

namespace Vorlane {

namespace {

int span(qint16 min, qint16 max)
{
    return qMax(0, int(max) - int(min));
}

float displayToUnits(const QString &text, float scale)
{
    return toSingleSaturated(fieldToNum(text) / double(scale));
}

} // namespace

BaseFieldDrawing::BaseFieldDrawing(const FieldRange &range, const QString &commitPath, BaseFieldEditorState &state,
                                   OwnedFiles *workingFiles)
    : m_range(range)
    , m_width(span(range.fieldXMin, range.fieldXMax))
    , m_height(span(range.fieldYMin, range.fieldYMax))
    , m_area(QSize(m_width / RasterCanvas::unitsPerPixel, m_height / RasterCanvas::unitsPerPixel), background)
    , m_commitFile(commitPath, workingFiles)
    , m_state(state)
{
}

void BaseFieldDrawing::open(const QList<BasePoint> &points)
{
    m_state.dragging = false;
    for (const BasePoint &point : points) {
        const int u = point.x - m_range.fieldXMin;
        const int v = m_height - (point.y - m_range.fieldYMin);
        m_area.plot(u, v, ink);
    }
    release();
}

void BaseFieldDrawing::commit()
{
    m_commitFile.store(m_area.persistentImage());
    m_snapshot = m_commitFile.load();
    m_area.setPicture(m_snapshot);
}

void BaseFieldDrawing::restore()
{
    m_area.clear(); // the snapshot is the area's picture
}

void BaseFieldDrawing::press(float u, float v)
{
    m_state.anchorX = cint16(u);
    m_state.anchorY = v;
    m_state.dragging = true;
}

void BaseFieldDrawing::release()
{
    commit();
    m_state.dragging = false;
}

void BaseFieldDrawing::move(float u, float v)
{
    if (!m_state.dragging)
        return;
    const PenSweep pen(m_state.penWidthX, m_state.penWidthY);
    switch (m_state.currentTool) {
    case StraightLine:
        restore();
        sweepLines(pen, u, v, ink);
        break;
    case EllipseTool:
        restore();
        sweepEllipses(pen, u, v);
        break;
    case Pencil:
        sweepLines(pen, u, v, ink);
        moveAnchor(u, v);
        break;
    case Eraser:
        sweepLines(pen, u, v, background);
        moveAnchor(u, v);
        break;
    default:
        restore();
        break;
    }
}

void BaseFieldDrawing::moveAnchor(float u, float v)
{
    m_state.anchorX = cint16(u);
    m_state.anchorY = v;
}

void BaseFieldDrawing::sweepLines(const PenSweep &pen, float u, float v, qint32 colour)
{
    const float anchorX = m_state.anchorX;
    const float anchorY = m_state.anchorY;
    pen.sweep(pen.extentX / 2.0f, [&](float t, float s) {
        m_area.drawLine(anchorX - t, anchorY + s, u - t, v + s, colour);
        m_area.drawLine(anchorX + t, anchorY - s, u + t, v - s, colour);
    });
}

// The ellipse inscribed in the rectangle from the press point to the pointer,
// drawn as a ring whose two borders move apart as the pen sweeps; the
// vertical semi-axis follows from the horizontal one by the rectangle's
// ratio, and the 0.001 terms keep that ratio finite for aligned points.
void BaseFieldDrawing::sweepEllipses(const PenSweep &pen, float u, float v)
{
    const float d = float(m_state.anchorX) - u;
    const float e = m_state.anchorY - v;
    const float g = d > 0.0f ? 1.0f : (d < 0.0f ? -1.0f : 0.0f);
    const float centreU = (float(m_state.anchorX) + u) / 2.0f;
    const float centreV = (m_state.anchorY + v) / 2.0f;
    const float halfD = std::fabs(d) / 2.0f;
    pen.sweep(pen.extentX, [&](float t, float s) {
        const float outerA = std::fabs(halfD + g * t / 2.0f);
        const float outerB = outerA * std::fabs((e + 0.001f + s) / (d + 0.001f + t));
        const float innerA = std::fabs(halfD - g * t / 2.0f);
        const float innerB = innerA * std::fabs((e + 0.001f - s) / (d + 0.001f - t));
        m_area.drawEllipse(centreU, centreV, outerA, outerB, ink);
        m_area.drawEllipse(centreU, centreV, innerA, innerB, ink);
    });
}

void BaseFieldDrawing::manual(const NumericInput &fields, float scaleX, float scaleY)
{
    const auto areaU = [&](const QString &text) { return displayToUnits(text, scaleX) - float(m_range.fieldXMin); };
    const auto areaV = [&](const QString &text) {
        return height() - (displayToUnits(text, scaleY) - float(m_range.fieldYMin));
    };
    switch (m_state.currentTool) {
    case StraightLine:
        press(areaU(fields[0]), areaV(fields[1]));
        move(areaU(fields[2]), areaV(fields[3]));
        break;
    case EllipseTool: {
        const float centreU = areaU(fields[0]);
        const float centreV = areaV(fields[1]);
        const float halfWidth = displayToUnits(fields[2], scaleX) / 2.0f;
        const float halfHeight = displayToUnits(fields[3], scaleY) / 2.0f;
        press(centreU - halfWidth, centreV - halfHeight);
        move(centreU + halfWidth, centreV + halfHeight);
        break;
    }
    default:
        break;
    }
}

BaseFieldCapture BaseFieldDrawing::capture(RandomGenerator &random,
                                           const std::function<void(qint32 colour)> &columnDone) const
{
    return captureBaseField(m_area, m_range, width(), height(), random, columnDone);
}

} // namespace Vorlane
