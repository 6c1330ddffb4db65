#include "render/lesson/levels.h"

#include "render/lesson/exactmaps.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/chaos/mapcolours.h"
#include "render/exact/rastercanvas.h"

#include <algorithm>
#include <cmath>

namespace Vorlane {

namespace {

std::vector<LevelPoint> scaledBaseField(const FractalDocument &document, float scaleWidth, float scaleHeight)
{
    const float unitScaleX = toSingle(double(scaleWidth) * double(document.settings.scaleX));
    const float unitScaleY = toSingle(double(scaleHeight) * double(document.settings.scaleY));
    std::vector<LevelPoint> points;
    for (const BasePoint &base : document.basePoints)
        points.push_back({cint16(double(float(base.x)) * double(unitScaleX)),
                          cint16(double(float(base.y)) * double(unitScaleY)), 0});
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

std::vector<LevelPoint> nextLevel(const std::vector<LevelPoint> &level, const std::vector<ExactMap> &maps)
{
    std::vector<LevelPoint> images;
    images.reserve(level.size() * maps.size());
    for (std::size_t m = 0; m < maps.size(); ++m) {
        for (const LevelPoint &point : level) {
            const auto [x, y] = maps[m].apply(point.x, point.y);
            images.push_back({x, y, quint8(m + 1)});
        }
    }
    return withoutRepeats(images);
}

} // namespace

FractalLevels::FractalLevels(const FractalDocument &document, float scaleWidth, float scaleHeight, int upTo)
{
    const std::vector<ExactMap> maps = exactMaps(document, scaleWidth, scaleHeight);
    m_levels.push_back(withoutRepeats(scaledBaseField(document, scaleWidth, scaleHeight)));
    while (highestLevel() < upTo) {
        const std::vector<LevelPoint> &last = m_levels.back();
        if (qint64(last.size()) * qint64(maps.size()) > mostLevelImages) {
            m_capped = true;
            return;
        }
        m_levels.push_back(nextLevel(last, maps));
    }
}

void drawLevel(const FractalDocument &document, const std::vector<LevelPoint> &points, RasterCanvas &canvas)
{
    const double halfWidth = double(canvas.scaleWidth()) / 2.0;
    const double halfHeight = double(canvas.scaleHeight()) / 2.0;
    for (const LevelPoint &point : points)
        canvas.plot(toSingle(halfWidth + point.x - document.centreX), toSingle(halfHeight - point.y + document.centreY),
                    point.map == 0 ? document.colours.colour1 : RasterCanvas::fromRgb(mapColour(point.map - 1)));
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
