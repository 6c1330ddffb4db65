#pragma once

#include "common/randomgenerator.h"
#include "render/chaos/chaosgame.h"
#include "render/exact/chainlanes.h"
#include "render/exact/pixelcolours.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace Vorlane::exact {

// Long enough to keep the output's calls rare, short enough to stay in cache.
constexpr qint32 blockSize = 4096;

// A run's iterations a block at a time: the block's plans first (BlockSpans),
// then its chains between restarts stepped, then its points handed on.
class BlockRenderer
{
public:
    // Starts before iteration first, with selected as the transformation
    // chosen last.
    BlockRenderer(const CanvasChaosGame &game, const SteppingMaps &steppingMaps, const PixelColours &pixelColours,
                  RandomGenerator &random, qint64 first, int selected, ChainStepping stepping)
        : m_game(game)
        , m_steppingMaps(steppingMaps)
        , m_pixelColours(pixelColours)
        , m_random(random)
        , m_stepping(stepping)
        , m_colourDraws(game.colours.draws())
        , m_spans(game.resolution, first)
        , m_selected(quint8(selected))
        , m_point(game.maps.basePoint(1))
        , m_next(first)
    {
    }

    // Plans and moves the next count iterations and hands their points and
    // colours to output.put.
    template<typename Output>
    void render(qint32 count, Output &output)
    {
        plan(count);
        moveChains(count);
        output.put(m_points.data(), m_pixels.data(), count);
        m_next += count;
    }

private:
    // The block's plans, a span between restarts at a time.
    void plan(qint32 count)
    {
        m_spans.plan(m_random, count, 1 + m_colourDraws, m_drawn.data(), m_restarts,
                     [&](float number) { return m_game.maps.basePointNumber(number); },
                     [&](qint32 n, qint32 length, qint16, const float *drawn) {
                         if (m_colourDraws > 0)
                             splitPairs(drawn, length, &m_colourDrawn[n], &m_choiceDrawn[n]);
                         else
                             std::copy_n(drawn, length, &m_choiceDrawn[n]);
                     });
        m_pixelColours.pixels(m_next, m_colourDrawn.data(), count, m_pixels.data());
        chooseMaps(count);
    }

    // The first and the second numbers of count pairs.
    static void splitPairs(const float *pairs, qint32 count, float *firsts, float *seconds)
    {
        qint32 i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= count; i += 4) {
            const __m128 low = _mm_loadu_ps(pairs + 2 * i);
            const __m128 high = _mm_loadu_ps(pairs + 2 * i + 4);
            _mm_storeu_ps(firsts + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
            _mm_storeu_ps(seconds + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
        }
#endif
        for (; i < count; ++i) {
            firsts[i] = pairs[2 * i];
            seconds[i] = pairs[2 * i + 1];
        }
    }

    void chooseMaps(qint32 count)
    {
        m_selected = quint8(Vorlane::chooseMaps(m_stepping, m_game.maps.cumulativeWeights(), m_game.maps.count(),
                                                m_choiceDrawn.data(), m_transformation.data(), std::size_t(count),
                                                m_selected));
    }

    void moveChains(qint32 count)
    {
        chainsBetweenRestarts(m_restarts, count, m_point,
                              [&](qint16 number) { return m_steppingMaps.basePoints[std::size_t(number - 1)]; },
                              m_chains);
        stepChains(m_stepping, m_steppingMaps, m_transformation.data(), m_chains.data(), m_chains.size(),
                   m_points.data());
        m_point = m_chains.back().point;
    }

    const CanvasChaosGame &m_game;
    const SteppingMaps &m_steppingMaps;
    const PixelColours &m_pixelColours;
    RandomGenerator &m_random;
    const ChainStepping m_stepping;
    const int m_colourDraws; // 0 or 1: a style takes one number at most
    BlockSpans m_spans;
    quint8 m_selected; // the map chosen last
    CanvasPoint m_point; // where the next iteration starts unless it restarts
    qint64 m_next;       // the number of the next iteration
    // At most a restart's, a colour's and a choice's number an iteration.
    std::array<float, 3 * blockSize> m_drawn;
    std::array<float, blockSize> m_choiceDrawn;
    std::array<float, blockSize> m_colourDrawn{}; // read only by the styles that draw
    std::vector<BlockRestart> m_restarts;
    std::array<QRgb, blockSize> m_pixels;
    std::array<quint8, blockSize> m_transformation;
    std::array<CanvasPoint, blockSize> m_points;
    std::vector<Chain> m_chains;
};

} // namespace Vorlane::exact
