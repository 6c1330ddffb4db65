#include "render/poster/posteriteration.h"

#include "common/rounding.h"
#include "document/colour.h"

#include <algorithm>
#include <limits>

namespace Vorlane {

namespace {

// The gradient's colour at place, 0 to 1.
qint32 gradientColour(const PosterGradient &gradient, double place)
{
    const qint64 last = qint64(gradient.size()) - 1;
    return gradient[std::size_t(qBound<qint64>(0, floorToInt(place * double(last + 1)), last))];
}

// The document as the chain plays it: through a gradient, its style blends
// black into pure red instead of its two colours, so that a colour's red is
// its blend as an index into the gradient.
FractalDocument styledDocument(const FractalDocument &document, bool throughGradient)
{
    FractalDocument styled = document;
    if (throughGradient) {
        styled.colours.colour1 = rgbColour(0, 0, 0);
        styled.colours.colour2 = rgbColour(255, 0, 0);
    }
    return styled;
}

// The smallest block that still gives the lanes eight chains, within a
// block that stays in the cache.
constexpr qint32 largestBlock = 1 << 16;

qint32 blockCapacity(int resolution)
{
    constexpr qint32 smallest = 4096;
    return qBound(smallest, 8 * resolution, largestBlock);
}

} // namespace

std::uint32_t posterPieceSeed(std::uint32_t seed, quint64 piece)
{
    quint64 z = (quint64(seed) << 32) ^ piece;
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return std::uint32_t((z ^ (z >> 31)) >> 32);
}

PosterBlock::PosterBlock(int resolution)
{
    const std::size_t capacity = std::size_t(blockCapacity(resolution));
    xs.resize(capacity);
    ys.resize(capacity);
    colours.resize(capacity);
    // At most a restart's, a colour's and a choice's number an iteration.
    drawn.resize(3 * capacity);
    choiceDrawn.resize(capacity);
    maps.resize(capacity);
    restarts.reserve(capacity);
    chains.reserve(capacity + 1);
}

qint64 PosterBlock::mostBytes()
{
    constexpr qint64 perIteration = 2 * sizeof(double) + sizeof(qint32) + 4 * sizeof(float) + sizeof(quint8)
                                    + sizeof(BlockRestart) + sizeof(PlaneChain);
    return largestBlock * perIteration;
}

PosterIteration::PosterIteration(const FractalDocument &document, const PosterSettings &settings,
                                 qint64 totalPoints)
    : m_styleThroughGradient(settings.colourBy == PosterColourBy::Document && !settings.palette.isDocumentColours())
    , m_byMap(settings.colourBy == PosterColourBy::Map)
    , m_skip(settings.skip)
    , m_gradient(gradientFor(settings.palette, document))
    , m_document(styledDocument(document, m_styleThroughGradient))
    , m_game(m_document, PlaneArithmetic(), totalPoints)
    , m_planeMaps(m_game.maps)
{
    const int mapCount = document.trCount();
    for (int k = 1; k <= mapCount; ++k)
        m_places[std::size_t(k)] = mapCount > 1 ? double(k - 1) / double(mapCount - 1) : 0.0;
}

qint32 PosterIteration::colour(qint32 styleColour, double place) const
{
    if (m_byMap)
        return gradientColour(m_gradient, place);
    return m_styleThroughGradient ? m_gradient[std::size_t(colourRed(styleColour))] : styleColour;
}

void PosterIteration::startPiece(PosterBlock &block, std::uint32_t seed, quint64 piece, qint64 first) const
{
    block.random = RandomGenerator(posterPieceSeed(seed, piece));
    block.point = m_game.maps.basePoint(startNumber(block.random, piece));
    block.spans = BlockSpans(m_game.resolution, first);
    block.selected = 0;
    block.next = first;
    block.place = restartPlace;
    block.sinceStart = 0;
}

void PosterIteration::fillBlock(PosterStepping stepping, PosterBlock &block, qint32 count) const
{
    plan(block, count);
    chooseMaps(stepping, block, count);
    moveChains(stepping, block, count);
    colourAndSkip(block, count);
    block.next += count;
}

// The block's plans, a span between restarts at a time.
void PosterIteration::plan(PosterBlock &block, qint32 count) const
{
    const int colourDraws = m_game.colours.draws();
    const int perIteration = 1 + colourDraws;
    block.spans.plan(block.random, count, perIteration, block.drawn.data(), block.restarts,
                     [&](float number) { return m_game.maps.basePointNumber(number); },
                     [&](qint32 n, qint32 length, qint16 cir, const float *drawn) {
                         m_game.colours.colours(block.next + n, cir, drawn, perIteration, length, &block.colours[n]);
                         for (qint32 i = 0; i < length; ++i)
                             block.choiceDrawn[n + i] = drawn[i * perIteration + colourDraws];
                     });
}

// PreparedMaps::choose for each number: the previous choice where a number
// chooses none.
void PosterIteration::chooseMaps(PosterStepping stepping, PosterBlock &block, qint32 count) const
{
    countPlaneEntriesBelow(stepping, m_game.maps.cumulativeWeights(), m_game.maps.count(), block.choiceDrawn.data(),
                           block.maps.data(), std::size_t(count));
    quint8 last = block.selected;
    for (qint32 n = 0; n < count; ++n) {
        last = block.maps[n] > 0 ? block.maps[n] : last;
        block.maps[n] = last;
    }
    block.selected = last;
}

void PosterIteration::moveChains(PosterStepping stepping, PosterBlock &block, qint32 count) const
{
    chainsBetweenRestarts(block.restarts, count, block.point,
                          [&](qint16 number) { return m_game.maps.basePoint(number); }, block.chains);
    stepPlaneChains(stepping, m_planeMaps, block.maps.data(), block.chains.data(), block.chains.size(),
                    block.xs.data(), block.ys.data());
    block.point = block.chains.back().point;
}

// What depends on the iterations since the piece began or the last restart
// besides the style's colour: the place on the gradient, the skip.
void PosterIteration::colourAndSkip(PosterBlock &block, qint32 count) const
{
    if (!m_byMap && !m_styleThroughGradient && m_skip == 0)
        return;
    std::size_t restart = 0;
    for (qint32 n = 0; n < count; ++n) {
        if (restart < block.restarts.size() && block.restarts[restart].iteration == n) {
            ++restart;
            block.place = restartPlace;
            block.sinceStart = 0;
        }
        block.colours[n] = colour(block.colours[n], block.place);
        if (block.sinceStart < m_skip) {
            block.xs[n] = std::numeric_limits<double>::quiet_NaN();
            ++block.sinceStart;
        }
        block.place = nextPlace(block.place, block.maps[n]);
    }
}

} // namespace Vorlane
