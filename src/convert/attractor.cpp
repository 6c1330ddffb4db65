#include "convert/attractor.h"

#include "common/randomgenerator.h"

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
// Steps of the random walk whose points start the search: enough to reach
// the edges of an attractor of slowly shrinking maps, which the search then
// cannot close in on.
constexpr int walkSteps = 100000;

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
    SupportSearch(const QList<AffineMap> &maps, QPointF point, double radius, QPointF direction,
                  const QList<QPointF> &walked)
        : m_maps(maps)
        , m_point(point)
        , m_radius(radius)
        , m_direction(direction)
        , m_found(along(point))
    {
        for (const QPointF &other : walked)
            m_found = std::max(m_found, along(other));
    }

    double reach(double tolerance)
    {
        std::priority_queue<Cell, std::vector<Cell>> cells;
        cells.push(cell({1.0, 0.0, 0.0, 1.0, 0.0, 0.0}));
        for (qsizetype made = 1; !cells.empty(); ) {
            const Cell best = cells.top();
            if (best.reach - m_found <= tolerance)
                return best.reach;
            // With maps that shrink very slowly the ball's bound stays far
            // out (its radius grows as 1 / (1 − stretch)), while the points
            // found come close to the attractor's edge.
            if (made >= searchBudget)
                return m_found;
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

// Points of a random walk from the point, each map picked by its area as the
// renderer picks it (all alike when none has an area), from the program's
// fixed seed.
QList<QPointF> walk(const QList<AffineMap> &maps, QPointF point)
{
    std::vector<double> cumulative;
    double sum = 0.0;
    for (const AffineMap &map : maps)
        cumulative.push_back(sum += std::abs(map.a * map.d - map.b * map.c));
    RandomGenerator random;
    QList<QPointF> points;
    points.reserve(walkSteps);
    for (int step = 0; step < walkSteps; ++step) {
        const auto chosen = sum > 0.0 ? std::upper_bound(cumulative.cbegin(), cumulative.cend(), random.next() * sum)
                                            - cumulative.cbegin()
                                      : qsizetype(random.nextWord() % maps.size());
        point = apply(maps.at(std::min(chosen, maps.size() - 1)), point);
        points.append(point);
    }
    return points;
}

QPointF startingPoint(const QList<AffineMap> &maps)
{
    const auto area = [](const AffineMap &map) { return std::abs(map.a * map.d - map.b * map.c); };
    const AffineMap &heaviest = *std::max_element(maps.cbegin(), maps.cend(), [&](const AffineMap &x, const AffineMap &y) {
        return area(x) < area(y);
    });
    double x = 0.0;
    double y = 0.0;
    if (fixedPoint(heaviest, x, y))
        return {x, y};
    QPointF point;
    for (int step = 0; step < settlingSteps; ++step)
        point = apply(maps.at(step % maps.size()), point);
    return point;
}

QRectF bounds(const QList<AffineMap> &maps, QPointF onAttractor, const QList<QPointF> &walked)
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
        return SupportSearch(maps, onAttractor, radius, direction, walked).reach(tolerance);
    };
    return QRectF(QPointF(-reach({-1.0, 0.0}), -reach({0.0, -1.0})), QPointF(reach({1.0, 0.0}), reach({0.0, 1.0})));
}

} // namespace

Attractor locateAttractor(const QList<AffineMap> &maps)
{
    const QPointF start = startingPoint(maps);
    const QList<QPointF> walked = walk(maps, start);
    return {walked.constLast(), bounds(maps, start, walked)};
}

} // namespace Vorlane
