#pragma once

#include "common/randomgenerator.h"
#include "document/fractaldocument.h"
#include "render/chaos/pointcolour.h"
#include "render/chaos/preparedmaps.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace Vorlane {

// Everything a run works out before its first point: the maps, the colours
// and the iterations between restarts. The document must be renderable and
// outlive it.
template<typename Arithmetic>
struct ChaosGame
{
    ChaosGame(const FractalDocument &document, const Arithmetic &arithmetic, qint64 totalPoints)
        : maps(document, arithmetic)
        , colours(document, totalPoints)
        , resolution(document.settings.resolution)
    {
    }

    PreparedMaps<Arithmetic> maps;
    PointColours colours;
    qint16 resolution;
};

// The window's renderer: canvas units, floats, the document's point count.
using CanvasChaosGame = ChaosGame<CanvasArithmetic>;

inline CanvasChaosGame canvasChaosGame(const FractalDocument &document, const ViewTransform &view)
{
    return CanvasChaosGame(document, CanvasArithmetic(view), document.settings.totalPoints);
}

// What one iteration does besides moving its point. None of it depends on
// the point: the random numbers are drawn in the order the iterations draw
// them, the restart's base point, the colour, the choice of map.
struct IterationPlan
{
    qint32 colour;
    qint16 restartFrom; // the base point a restart begins at; 0 for none
    quint8 map;
};

// Plans iteration after iteration from first on (numbered from 1): every
// resolution-th restarts, cir counts the iterations since.
template<typename Arithmetic>
class IterationPlanner
{
public:
    // selected is the map chosen last before first, 0 for none.
    IterationPlanner(const ChaosGame<Arithmetic> &game, RandomGenerator &random, qint64 first, int selected)
        : m_game(game)
        , m_random(random)
        , m_untilRestart(qint32(game.resolution - (first - 1) % game.resolution))
        , m_cir(qint16((first - 1) % game.resolution))
        , m_selected(quint8(selected))
        , m_next(first)
    {
    }

    IterationPlan next()
    {
        IterationPlan plan;
        plan.restartFrom = 0;
        if (--m_untilRestart == 0) {
            m_untilRestart = m_game.resolution;
            m_cir = 0;
            plan.restartFrom = m_game.maps.randomBasePointNumber(m_random);
        } else {
            ++m_cir;
        }
        plan.colour = m_game.colours.colour(m_random, m_next, m_cir);
        m_selected = quint8(m_game.maps.choose(m_random.next(), m_selected));
        plan.map = m_selected;
        ++m_next;
        return plan;
    }

    // The number of the iteration next() plans.
    qint64 nextNumber() const { return m_next; }
    qint16 cir() const { return m_cir; }

private:
    const ChaosGame<Arithmetic> &m_game;
    RandomGenerator &m_random;
    qint32 m_untilRestart; // to the next multiple of resolution
    qint16 m_cir;
    quint8 m_selected;
    qint64 m_next;
};

// Where an iteration of a block restarts, and the number of the base point
// it restarts from.
struct BlockRestart
{
    qint32 iteration;
    qint16 basePoint;
};

// The plans of a run's iterations a block at a time. What an iteration does
// besides moving its point depends on random numbers alone, so a block's
// worth is drawn first, in the order the iterations draw them: the restart's
// base point, the colour, the choice of map. The iterations between restarts
// come as spans.
class BlockSpans
{
public:
    // Before iteration first (numbered from 1) of a run that restarts every
    // resolution iterations.
    BlockSpans(qint32 resolution, qint64 first)
        : m_resolution(resolution)
        , m_untilRestart(qint32(resolution - (first - 1) % resolution))
    {
    }

    // Draws the numbers of count iterations, perIteration each besides a
    // restart's, into drawn; notes the restarts, with basePointNumber of
    // their number; and hands each span to onSpan(n, length, cir, numbers):
    // its first iteration in the block, its length, the iterations since the
    // last restart at its first, and its numbers.
    template<typename BasePointNumber, typename OnSpan>
    void plan(RandomGenerator &random, qint32 count, int perIteration, float *drawn,
              std::vector<BlockRestart> &restarts, BasePointNumber basePointNumber, OnSpan onSpan)
    {
        random.fill(drawn, std::size_t(count * perIteration + restartsIn(count)));
        restarts.clear();
        for (qint32 n = 0; n < count;) {
            qint32 span = m_untilRestart - 1;
            if (m_untilRestart == 1) {
                restarts.push_back({n, basePointNumber(*drawn++)});
                span = m_resolution;
            }
            const qint32 length = std::min(span, count - n);
            onSpan(n, length, qint16(m_resolution - span), static_cast<const float *>(drawn));
            drawn += length * perIteration;
            m_untilRestart = span - length + 1;
            n += length;
        }
    }

private:
    qint32 restartsIn(qint32 count) const
    {
        return m_untilRestart > count ? 0 : 1 + (count - m_untilRestart) / m_resolution;
    }

    qint32 m_resolution;
    qint32 m_untilRestart; // to the next multiple of resolution
};

// The chains of count iterations that start at point: each restart begins a
// chain that owes nothing to the one before, at basePoint of its number.
// Returns the chains in chains.
template<typename Chain, typename Point, typename BasePoint>
void chainsBetweenRestarts(const std::vector<BlockRestart> &restarts, qint32 count, Point point, BasePoint basePoint,
                           std::vector<Chain> &chains)
{
    chains.clear();
    qint32 begin = 0;
    for (const BlockRestart &restart : restarts) {
        if (restart.iteration > begin)
            chains.push_back({begin, restart.iteration, point});
        begin = restart.iteration;
        point = basePoint(restart.basePoint);
    }
    chains.push_back({begin, count, point});
}

// One chain of the chaos game, point after point, exactly as a run plots
// them: each iteration restarts or not, takes its colour, is plotted, and
// chooses the map that moves it on.
template<typename Arithmetic>
class ChaosChain
{
public:
    using Point = typename Arithmetic::Point;

    struct Step
    {
        qint64 number; // 1 for a run's first point
        Point point;
        qint32 colour;
        qint16 cir;    // iterations since the last restart
        bool restarted; // the point is a base point
        quint8 map;    // the map that moves the point on
    };

    // A chain from iteration first on, standing at start, with selected the
    // map chosen last before it (0 for none).
    ChaosChain(const ChaosGame<Arithmetic> &game, RandomGenerator &random, qint64 first, int selected, Point start)
        : m_game(game)
        , m_planner(game, random, first, selected)
        , m_point(start)
    {
    }

    // A run's chain from its start: base point 1, no map chosen yet.
    ChaosChain(const ChaosGame<Arithmetic> &game, RandomGenerator &random)
        : ChaosChain(game, random, 1, 0, game.maps.basePoint(1))
    {
    }

    Step next()
    {
        const qint64 number = m_planner.nextNumber();
        const IterationPlan plan = m_planner.next();
        if (plan.restartFrom != 0)
            m_point = m_game.maps.basePoint(plan.restartFrom);
        const Step step{number, m_point, plan.colour, m_planner.cir(), plan.restartFrom != 0, plan.map};
        m_point = m_game.maps.apply(plan.map, m_point);
        return step;
    }

private:
    const ChaosGame<Arithmetic> &m_game;
    IterationPlanner<Arithmetic> m_planner;
    Point m_point;
};

} // namespace Vorlane
