#pragma once

#include "common/rounding.h"
#include "document/fractaldocument.h"

#include <cmath>
#include <utility>
#include <vector>

namespace Vorlane {

// The exact renderer's per-map arithmetic on a 16-bit point, in canvas units
// from the fractal's origin, Y up.
// TODO(chaos core): take these from the renderer's prepared maps once they are shared.
struct ExactMap
{
    float contractionX;
    float contractionY;
    double cosTheta;
    double sinTheta;
    double translationX; // canvas units
    double translationY;

    std::pair<qint16, qint16> apply(qint16 x, qint16 y) const
    {
        const float a = float(x) * contractionX;
        const float b = float(y) * contractionY;
        const float xRotated = toSingle(double(a) * cosTheta - double(b) * sinTheta);
        const float yRotated = toSingle(double(a) * sinTheta + double(b) * cosTheta);
        return {cint16(translationX + double(xRotated)), cint16(translationY + double(yRotated))};
    }
};

inline std::vector<ExactMap> exactMaps(const FractalDocument &document, float scaleWidth, float scaleHeight)
{
    const float degToRad = toSingle(4.0 * std::atan(1.0) / 180.0);
    std::vector<ExactMap> maps;
    for (const Transformation &tr : document.transformations) {
        const double theta = double(degToRad) * double(tr.rotation);
        maps.push_back({tr.contraction[0], tr.contraction[1], std::cos(theta), std::sin(theta),
                        double(document.settings.scaleX) * double(tr.translation[0]) * double(scaleWidth),
                        double(document.settings.scaleY) * double(tr.translation[1]) * double(scaleHeight)});
    }
    return maps;
}

} // namespace Vorlane
