#pragma once

#include "common/randomgenerator.h"
#include "document/fractaldocument.h"
#include "render/chaos/chaosgame.h"
#include "render/poster/poster.h"
#include "render/poster/posterlanes.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace Vorlane {

// The seed of piece's generator: the poster's seed and the piece number,
// mixed so that neighbouring pieces draw unrelated sequences.
std::uint32_t posterPieceSeed(std::uint32_t seed, quint64 piece);

// A block of a piece's iterations and where the piece's chain stands after
// it: one worker's buffers, allocated once.
struct PosterBlock
{
    explicit PosterBlock(int resolution);

    // Iterations a block holds at most: enough for eight chains between
    // restarts where the resolution allows, so that lanes have work.
    qint32 capacity() const { return qint32(xs.size()); }

    // The memory the buffers of the largest block take.
    static qint64 mostBytes();

    // The block's points: x, y and colour of each iteration; a point left out
    // of the sums lies at NaN.
    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<qint32> colours;

    std::vector<float> drawn;
    std::vector<float> choiceDrawn;
    std::vector<quint8> maps;
    std::vector<BlockRestart> restarts;
    std::vector<PlaneChain> chains;

    RandomGenerator random;
    PlaneArithmetic::Point point{}; // where the next iteration starts unless it restarts
    BlockSpans spans{1, 1};
    quint8 selected = 0; // the map chosen last
    qint64 next = 0;     // the number of the next iteration
    double place = 0.0;  // on the gradient, coloured by map
    int sinceStart = 0;  // iterations since the piece began or the last restart, up to the skip
};

// Random iteration in double precision, one piece at a time: the maps as
// PlaneArithmetic works them, the colours as the settings say.
class PosterIteration
{
public:
    PosterIteration(const FractalDocument &document, const PosterSettings &settings, qint64 totalPoints);

    QByteArray checksum() const { return m_game.maps.checksum(); }

    // Calls plot(x, y, colour) for the points first to end − 1 (numbered
    // from 1) of the poster's sequence that are not skipped, drawn from the
    // generator of piece. The piece begins at a random base point, the first
    // piece at point 1. Point by point through ChaosChain: the reference the
    // blocks follow.
    template<typename Plot>
    void run(std::uint32_t seed, quint64 piece, qint64 first, qint64 end, Plot &&plot) const
    {
        RandomGenerator random(posterPieceSeed(seed, piece));
        ChaosChain<PlaneArithmetic> chain(m_game, random, first, 0, m_game.maps.basePoint(startNumber(random, piece)));
        double place = restartPlace;
        // A piece begins its orbit afresh, as a restart does.
        int sinceStart = 0;
        for (qint64 a = first; a < end; ++a, ++sinceStart) {
            const ChaosChain<PlaneArithmetic>::Step step = chain.next();
            if (step.restarted) {
                place = restartPlace;
                sinceStart = 0;
            }
            if (sinceStart >= m_skip)
                plot(step.point.x, step.point.y, colour(step.colour, place));
            place = nextPlace(place, step.map);
        }
    }

    // The same points as run, a block of the buffers' capacity at a time:
    // plot(block, count) with the block's first count points, skipped ones
    // at NaN.
    template<typename PlotBlock>
    void runInBlocks(PosterStepping stepping, PosterBlock &block, std::uint32_t seed, quint64 piece, qint64 first,
                     qint64 end, PlotBlock &&plot) const
    {
        startPiece(block, seed, piece, first);
        for (qint64 a = first; a < end;) {
            const qint32 count = qint32(qMin<qint64>(block.capacity(), end - a));
            fillBlock(stepping, block, count);
            plot(static_cast<const PosterBlock &>(block), count);
            a += count;
        }
    }

private:
    // A point's place on the gradient after a restart; the all-zero fallback
    // map, chosen before any other, draws it there too.
    static constexpr double restartPlace = 0.5;

    qint32 startNumber(RandomGenerator &random, quint64 piece) const
    {
        return piece == 0 ? 1 : m_game.maps.randomBasePointNumber(random);
    }

    qint32 colour(qint32 styleColour, double place) const;
    double nextPlace(double place, int map) const { return (place + m_places[std::size_t(map)]) / 2.0; }

    void startPiece(PosterBlock &block, std::uint32_t seed, quint64 piece, qint64 first) const;
    void fillBlock(PosterStepping stepping, PosterBlock &block, qint32 count) const;
    void plan(PosterBlock &block, qint32 count) const;
    void chooseMaps(PosterStepping stepping, PosterBlock &block, qint32 count) const;
    void moveChains(PosterStepping stepping, PosterBlock &block, qint32 count) const;
    void colourAndSkip(PosterBlock &block, qint32 count) const;

    const bool m_styleThroughGradient;
    const bool m_byMap;
    const int m_skip;
    const PosterGradient m_gradient;
    const FractalDocument m_document;
    const ChaosGame<PlaneArithmetic> m_game;
    const PlaneMaps m_planeMaps;
    // Where each map draws a point's place on the gradient, index 0 the
    // fallback map.
    std::array<double, maxTransformations + 1> m_places{restartPlace};
};

} // namespace Vorlane
