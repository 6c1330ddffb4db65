#include "render/chaos/mapcolours.h"

#include "document/fractaldocument.h"

#include <QColor>

#include <array>

namespace Vorlane {

QRgb mapColour(int mapIndex)
{
    constexpr double goldenAngle = 137.50776405003785;
    constexpr std::array<double, 3> values{0.90, 0.62, 0.78};
    const int index = ((mapIndex % maxTransformations) + maxTransformations) % maxTransformations;
    const double hue = index * goldenAngle / 360.0;
    const double wholeTurns = int(hue);
    return QColor::fromHsvF(float(hue - wholeTurns), 0.95f, float(values[std::size_t(index % 3)])).rgb();
}

} // namespace Vorlane
