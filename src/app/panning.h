#pragma once

#include <QtGlobal>

// Moving the view centre with the arrow buttons, and the axes shown while one
// is held down.
namespace Vorlane {

class RasterCanvas;
struct FractalDocument;

enum class PanDirection { Up, Down, Left, Right };

// The modifier keys of a press as one number: Shift 1, Ctrl 2, Alt 4.
enum ModifierKey : int { ShiftKey = 1, CtrlKey = 2, AltKey = 4 };

// Canvas units one press moves the centre: 20 × (modifierState + 1).
int panStep(int modifierState);

// Moves the view centre one step; the fractal moves the opposite way on the
// canvas. The centre stays within the 16-bit range instead of wrapping.
void moveCentre(FractalDocument &document, PanDirection direction, int modifierState);

// Each of red, green and blue becomes 255 minus itself.
qint32 complementColour(qint32 colour);

// showAxes: draws the fractal's X and Y axes for the view centre across the
// canvas, in the complement of its background colour. They cross at the
// fractal's origin, (W / 2 − centreX, H / 2 + centreY).
void drawAxes(RasterCanvas &canvas, qint16 centreX, qint16 centreY);

} // namespace Vorlane
