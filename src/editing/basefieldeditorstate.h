#pragma once

#include <QtGlobal>

namespace Vorlane {

enum BaseFieldTool : qint16 {
    NoTool = 0,
    StraightLine = 1,
    EllipseTool = 2,
    Pencil = 3,
    Eraser = 4,
};

// What the base field editor remembers from one opening to the next: the
// tool and the pen stay although the reopened window highlights no tool and
// shows its width fields as "0"; only dragging starts again at 0.
struct BaseFieldEditorState
{
    BaseFieldTool currentTool = NoTool;
    bool dragging = false; // from a press or a numeric preview until the shape is fixed
    qint16 anchorX = 0;    // u of the press point, a whole unit
    float anchorY = 0.0f;  // v of the press point
    float penWidthX = 0.0f; // pen extents in document units; 0 until a width is typed
    float penWidthY = 0.0f;
};

} // namespace Vorlane
