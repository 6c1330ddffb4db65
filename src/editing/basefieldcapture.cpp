#include "editing/basefieldcapture.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "render/exact/rastercanvas.h"

namespace Vorlane {

namespace {

constexpr qint32 ink = rgbColour(0, 0, 0);

int randomComponent(RandomGenerator &random)
{
    return cint32(255.0f * random.next());
}

qint32 flashColour(RandomGenerator &random)
{
    const int red = randomComponent(random);
    const int green = randomComponent(random);
    const int blue = randomComponent(random);
    return rgbColour(red, green, blue);
}

} // namespace

BaseFieldCapture captureBaseField(const RasterCanvas &area, const FieldRange &range, float width, float height,
                                  RandomGenerator &random, const std::function<void(qint32 colour)> &columnDone)
{
    BaseFieldCapture capture;
    const int xEnd = cint16(float(range.fieldXMin) + width);
    const int yEnd = cint16(float(range.fieldYMin) + height);
    for (int x = range.fieldXMin; x <= xEnd; x += captureGridStep) {
        const int u = x - range.fieldXMin;
        for (int y = range.fieldYMin; y <= yEnd; y += captureGridStep) {
            const int v = cint16(height - float(y - range.fieldYMin));
            if (area.point(u, v) != ink)
                continue;
            if (capture.points.size() == maxBasePoints) {
                capture.stoppedAtLimit = true;
                return capture;
            }
            capture.points.append({qint16(x), qint16(y)});
        }
        columnDone(flashColour(random));
    }
    return capture;
}

} // namespace Vorlane
