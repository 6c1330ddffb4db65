#include "render/lesson/levels.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/chaos/mapcolours.h"
#include "render/chaos/preparedmaps.h"
#include "render/chaos/viewtransform.h"
#include "render/exact/rastercanvas.h"

#include <algorithm>

namespace Vorlane {

namespace {

using CanvasMaps = PreparedMaps<CanvasArithmetic>;

std::vector<LevelPoint> scaledBaseField(const FractalDocument &document, const CanvasMaps &maps)
{
    std::vector<LevelPoint> points;
    for (qint32 n = 1; n <= document.basePointCount(); ++n) {
        const CanvasPoint base = maps.basePoint(n);
        points.push_back({base.x, base.y, 0});
    }
    return points;
}

quint64 positionKey(const LevelPoint &point)
{
    return quint64(quint16(point.x)) << 16 | quint16(point.y);
}

// Each position once, at its first place in the list: sorting by position
// and then by place keeps the result independent of the sort's stability.
std::vector<LevelPoint> withoutRepeats(const std::vector<LevelPoint> &points)
{
    std::vector<quint64> keyed(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        keyed[i] = positionKey(points[i]) << 32 | i;
    std::sort(keyed.begin(), keyed.end());
    std::vector<bool> first(points.size(), false);
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i == 0 || keyed[i] >> 32 != keyed[i - 1] >> 32)
            first[keyed[i] & 0xffffffffu] = true;
    }
    std::vector<LevelPoint> distinct;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (first[i])
            distinct.push_back(points[i]);
    }
    return distinct;
}

std::vector<LevelPoint> nextLevel(const std::vector<LevelPoint> &level, const CanvasMaps &maps, int mapCount)
{
    std::vector<LevelPoint> images;
    images.reserve(level.size() * std::size_t(mapCount));
    for (int m = 1; m <= mapCount; ++m) {
        for (const LevelPoint &point : level) {
            const CanvasPoint image = maps.apply(m, {point.x, point.y});
            images.push_back({image.x, image.y, quint8(m)});
        }
    }
    return withoutRepeats(images);
}

} // namespace

FractalLevels::FractalLevels(const FractalDocument &document, float scaleWidth, float scaleHeight, int upTo)
{
    const CanvasMaps maps(document, CanvasArithmetic(ViewTransform(document, scaleWidth, scaleHeight)));
    m_levels.push_back(withoutRepeats(scaledBaseField(document, maps)));
    while (highestLevel() < upTo) {
        const std::vector<LevelPoint> &last = m_levels.back();
        if (qint64(last.size()) * document.trCount() > mostLevelImages) {
            m_capped = true;
            return;
        }
        m_levels.push_back(nextLevel(last, maps, document.trCount()));
    }
}

void drawLevel(const FractalDocument &document, const std::vector<LevelPoint> &points, RasterCanvas &canvas)
{
    const ViewTransform view(document, canvas.scaleWidth(), canvas.scaleHeight());
    for (const LevelPoint &point : points) {
        const CanvasPosition position = view.position({point.x, point.y});
        canvas.plot(position.x, position.y,
                    point.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(point.map - 1)));
    }
}

QImage levelPicture(FractalDocument document, int level, QSize pixelSize, int *highest)
{
    RasterCanvas canvas(pixelSize, document.colours.backColour);
    document.settings.scaleX = toSingle(1.0 / double(canvas.scaleWidth()));
    document.settings.scaleY = toSingle(1.0 / double(canvas.scaleHeight()));
    const FractalLevels levels(document, canvas.scaleWidth(), canvas.scaleHeight(), level);
    if (level > levels.highestLevel()) {
        if (highest)
            *highest = levels.highestLevel();
        return QImage();
    }
    drawLevel(document, levels.level(level), canvas);
    return canvas.persistentImage();
}

} // namespace Vorlane
