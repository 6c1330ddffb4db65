#include "attractor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <vector>

namespace Vorlane {

namespace {

// Steps from the origin towards the attractor when no fixed point is known.
constexpr int settlingSteps = 64;
// Cells of the attractor one search may look at: a few megabytes.
constexpr qsizetype searchBudget = 100000;
// How close the box comes to the attractor, as a fraction of its size.
constexpr double boundsTolerance = 1e-4;

QPointF apply(const AffineMap &map, QPointF point)
{
    return {map.a * point.x() + map.b * point.y() + map.e, map.c * point.x() + map.d * point.y() + map.f};
}

// outer after inner.
AffineMap compose(const AffineMap &outer, const AffineMap &inner)
{
    const QPointF translation = apply(outer, {inner.e, inner.f});
    return {outer.a * inner.a + outer.b * inner.c, outer.a * inner.b + outer.b * inner.d,
            outer.c * inner.a + outer.d * inner.c, outer.c * inner.b + outer.d * inner.d,
            translation.x(),       translation.y()};
}

// The image of the attractor under a sequence of maps, and how far along the
// search's direction it may reach.
struct Cell
{
    AffineMap map;
    double reach;

    bool operator<(const Cell &other) const { return reach < other.reach; }
};

// The largest value of direction · x over the attractor. The attractor lies
// in the ball of radius around point, so the image of the attractor under a
// sequence of maps w lies in the ball around w(point) shrunk by w's stretch;
// the search splits the cell that may reach furthest until the reach of the
// best cell and the best point found differ by less than the tolerance.
class SupportSearch
{
public:
    SupportSearch(const QList<AffineMap> &maps, QPointF point, double radius, QPointF direction)
        : m_maps(maps)
        , m_point(point)
        , m_radius(radius)
        , m_direction(direction)
        , m_found(along(point))
    {
    }

    double reach(double tolerance)
    {
        std::priority_queue<Cell, std::vector<Cell>> cells;
        cells.push(cell({1.0, 0.0, 0.0, 1.0, 0.0, 0.0}));
        for (qsizetype made = 1; !cells.empty(); ) {
            const Cell best = cells.top();
            if (best.reach - m_found <= tolerance)
                return best.reach;
            if (made >= searchBudget)
                return std::isfinite(best.reach) ? best.reach : m_found;
            cells.pop();
            for (const AffineMap &map : m_maps) {
                const Cell child = cell(compose(best.map, map));
                if (child.reach > m_found + tolerance) {
                    cells.push(child);
                    ++made;
                }
            }
        }
        return m_found + tolerance;
    }

private:
    double along(QPointF point) const { return m_direction.x() * point.x() + m_direction.y() * point.y(); }

    Cell cell(const AffineMap &map)
    {
        const double image = along(apply(map, m_point));
        m_found = std::max(m_found, image);
        return {map, image + largestStretch(map) * m_radius};
    }

    const QList<AffineMap> &m_maps;
    const QPointF m_point;
    const double m_radius;
    const QPointF m_direction;
    double m_found; // the furthest point of the attractor seen so far
};

} // namespace

QPointF pointOnAttractor(const QList<AffineMap> &maps, qsizetype heaviest)
{
    double x = 0.0;
    double y = 0.0;
    if (fixedPoint(maps.at(heaviest), x, y))
        return {x, y};
    QPointF point;
    for (int step = 0; step < settlingSteps; ++step)
        point = apply(maps.at(step % maps.size()), point);
    return point;
}

QRectF attractorBounds(const QList<AffineMap> &maps, QPointF onAttractor)
{
    // A ball around the point that every map takes into itself holds the
    // attractor; the maps' images of the point measure the attractor.
    double radius = 0.0;
    double size = 0.0;
    for (const AffineMap &map : maps) {
        const QPointF moved = apply(map, onAttractor) - onAttractor;
        const double distance = std::hypot(moved.x(), moved.y());
        const double stretch = largestStretch(map);
        size = std::max(size, distance);
        radius = std::max(radius, stretch < 1.0 ? distance / (1.0 - stretch) : std::numeric_limits<double>::infinity());
    }
    if (size == 0.0)
        return QRectF(onAttractor, onAttractor);
    const double tolerance = boundsTolerance * size;
    const auto reach = [&](QPointF direction) {
        return SupportSearch(maps, onAttractor, radius, direction).reach(tolerance);
    };
    return QRectF(QPointF(-reach({-1.0, 0.0}), -reach({0.0, -1.0})), QPointF(reach({1.0, 0.0}), reach({0.0, 1.0})));
}

} // namespace Vorlane
