#include "render/lesson/boxcounting.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Vorlane {

namespace {

// Which boxes of the current size hold a drawn pixel, row by row.
struct Occupancy
{
    int width = 0;
    int height = 0;
    std::vector<char> filled;

    qint64 count() const { return std::count(filled.begin(), filled.end(), char(1)); }

    // The boxes twice as large: each holds a drawn pixel when one of its four halves does.
    Occupancy coarser() const
    {
        Occupancy next{(width + 1) / 2, (height + 1) / 2, {}};
        next.filled.assign(std::size_t(next.width) * next.height, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (filled[std::size_t(y) * width + x])
                    next.filled[std::size_t(y / 2) * next.width + x / 2] = 1;
            }
        }
        return next;
    }
};

QRect drawnArea(const QImage &picture, QRgb background)
{
    QRect area;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((line[x] & 0xffffffu) != (background & 0xffffffu))
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

// Single pixels, with the grid's corner at the drawn part's top left.
Occupancy pixelOccupancy(const QImage &picture, QRect area, QRgb background)
{
    Occupancy occupancy{area.width(), area.height(), {}};
    occupancy.filled.assign(std::size_t(area.width()) * area.height(), 0);
    for (int y = 0; y < area.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(picture.constScanLine(area.top() + y)) + area.left();
        for (int x = 0; x < area.width(); ++x)
            occupancy.filled[std::size_t(y) * area.width() + x] = (line[x] & 0xffffffu) != (background & 0xffffffu);
    }
    return occupancy;
}

void fitLine(BoxCountingResult &result)
{
    const int n = result.lastFitted - result.firstFitted + 1;
    double sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumXY = 0.0;
    for (int i = result.firstFitted; i <= result.lastFitted; ++i) {
        const double x = -std::log(double(result.counts[i].size));
        const double y = std::log(double(result.counts[i].boxes));
        sumX += x;
        sumY += y;
        sumXX += x * x;
        sumXY += x * y;
    }
    result.dimension = (n * sumXY - sumX * sumY) / (n * sumXX - sumX * sumX);
    result.intercept = (sumY - result.dimension * sumX) / n;
}

} // namespace

BoxCountingResult boxCountingDimension(const QImage &picture, QRgb background)
{
    BoxCountingResult result;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRect area = drawnArea(image, background);
    if (area.isEmpty())
        return result;
    const int extent = std::max(area.width(), area.height());
    Occupancy occupancy = pixelOccupancy(image, area, background);
    for (int size = 1; size <= extent; size *= 2, occupancy = occupancy.coarser())
        result.counts.append({size, occupancy.count()});
    constexpr int smallestFitted = 2;
    result.firstFitted = 1;
    result.lastFitted = -1;
    for (int i = 0; i < result.counts.size(); ++i) {
        if (result.counts[i].size >= smallestFitted && result.counts[i].size * 8 <= extent)
            result.lastFitted = i;
    }
    if (result.valid())
        fitLine(result);
    return result;
}

} // namespace Vorlane
