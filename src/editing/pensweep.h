#pragma once

#include <QString>

namespace Vorlane {

// The rectangular pen is drawn as a sweep of offsets (t, s): t runs from 0
// in steps of step while it stays at or below a bound, and s grows by sInc at
// the start of every pass. The extents are taken by their magnitude and held
// to at most maxPenExtent, so every sweep ends.
struct PenSweep
{
    static constexpr float maxPenExtent = 65534.0f; // twice the widest drawing area

    float r = 0.0f;     // Y extent to X extent, each with 0.001 added
    float step = 0.0f;  // the smaller extent to the larger, plus 0.1
    float sInc = 0.0f;
    float extentX = 0.0f;

    PenSweep(float penWidthX, float penWidthY);

    template<typename Draw>
    void sweep(float bound, Draw draw) const
    {
        float s = 0.0f;
        for (float t = 0.0f; t <= bound; t += step) {
            s += sInc;
            draw(t, s);
        }
    }
};

// A pen extent from a width field: the typed display value divided by the
// scale, plus 1, so that a typed 0 still gives a pen of one unit.
float penWidthFromText(const QString &text, float scale);

} // namespace Vorlane
