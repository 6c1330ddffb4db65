#include "editing/pensweep.h"

#include "common/numbertext.h"
#include "common/rounding.h"

#include <cmath>

namespace Vorlane {

namespace {

float extentMagnitude(float extent)
{
    const float magnitude = std::fabs(extent);
    return magnitude <= PenSweep::maxPenExtent ? magnitude : PenSweep::maxPenExtent;
}

} // namespace

PenSweep::PenSweep(float penWidthX, float penWidthY)
    : extentX(extentMagnitude(penWidthX))
{
    const float extentY = extentMagnitude(penWidthY);
    r = (extentY + 0.001f) / (extentX + 0.001f);
    step = (extentY > extentX ? 1.0f / r : r) + 0.1f;
    sInc = step * r;
}

float penWidthFromText(const QString &text, float scale)
{
    return toSingleSaturated(fieldToNum(text) / double(scale) + 1.0);
}

} // namespace Vorlane
