#include "render/poster/poster.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/chaos/chaosgame.h"
#include "render/chaos/preparedmaps.h"
#include "render/chaos/rasterplacement.h"
#include "render/poster/posteriteration.h"

#include <QCoreApplication>

#include <sys/mman.h>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <barrier>
#include <cmath>
#include <latch>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace Vorlane {

namespace {

// Points of the run that finds the fitted view, and the share of them at
// either end of each axis taken for strays.
constexpr qint64 fittingPoints = 1 << 17;
constexpr double strayShare = 0.0005;
// Each side of the frame left free around the fractal, as a share of it.
constexpr double frameMargin = 0.05;
// The fitting run's generator sits at a piece number no poster reaches.
constexpr quint64 fittingPiece = ~quint64(0);

// The value at share of the sorted values.
double quantile(std::vector<double> &values, double share)
{
    const auto at = values.begin() + std::ptrdiff_t(share * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// A point shared among the four pixels around it: the pixel up and to the
// left of it and the weights of the right and lower neighbours in 1/256.
struct Splat
{
    qint32 column;
    qint32 row;
    quint32 colour;
    quint8 right;
    quint8 below;
};

class PosterRaster
{
public:
    PosterRaster(const PosterView &view, QSize size)
        : m_pixels(QSizeF(size), QPointF(view.centreX, view.centreY), view.pixelsPerUnit,
                   RasterPlacement::Origin::Middle)
        , m_width(size.width())
        , m_height(size.height())
    {
    }

    // False for a point that touches no pixel (NaN included).
    bool splat(double x, double y, qint32 colour, Splat &splat) const
    {
        const double u = m_pixels.across(x);
        const double v = m_pixels.down(y);
        if (!(u > -1.0 && u < m_width && v > -1.0 && v < m_height))
            return false;
        // u × 256 is exact, so its floor holds the pixel above the fraction's
        // eight bits.
        const qint64 across = floorToInt(u * 256.0);
        const qint64 down = floorToInt(v * 256.0);
        splat = {qint32(across >> 8), qint32(down >> 8), quint32(colour), quint8(across & 255), quint8(down & 255)};
        return true;
    }

    const RasterPlacement &placement() const { return m_pixels; }
    double width() const { return m_width; }
    double height() const { return m_height; }

private:
    RasterPlacement m_pixels;
    double m_width;
    double m_height;
};

// A splat in eight bytes, which halves the memory its band's list takes and
// passes through: its column + 1 (16 bits), its row counted from the row
// above its band (8 bits), the weights (8 bits each), the colour (24 bits).
using BandSplat = quint64;

BandSplat packed(const Splat &splat, int rowAbove)
{
    return BandSplat(splat.column + 1) | BandSplat(splat.row - rowAbove) << 16 | BandSplat(splat.right) << 24
           | BandSplat(splat.below) << 32 | BandSplat(splat.colour & 0xFFFFFF) << 40;
}

Splat unpacked(BandSplat splat, int rowAbove)
{
    return {qint32(splat & 0xFFFF) - 1, rowAbove + qint32((splat >> 16) & 255), quint32(splat >> 40),
            quint8(splat >> 24), quint8(splat >> 32)};
}

// Returns the pixel's new weight, kept in a register: read back from the
// pixel it would have to be loaded again, as the next pixel might be this one.
quint64 addToPixel(PixelSums &pixel, quint64 weight, quint64 red, quint64 green, quint64 blue)
{
    const quint64 sum = pixel.weight + weight;
    pixel.weight = sum;
    pixel.red += weight * red;
    pixel.green += weight * green;
    pixel.blue += weight * blue;
    return sum;
}

bool whollyInside(const Splat &splat, QSize size)
{
    return splat.column >= 0 && splat.column + 1 < size.width() && splat.row >= 0 && splat.row + 1 < size.height();
}

// Returns the largest weight among the pixels the splat reached, as they
// are after it.
quint64 addSplat(PosterAccumulation &sums, const Splat &splat)
{
    const quint64 red = quint64(colourRed(qint32(splat.colour)));
    const quint64 green = quint64(colourGreen(qint32(splat.colour)));
    const quint64 blue = quint64(colourBlue(qint32(splat.colour)));
    const std::array<quint64, 2> across{256u - splat.right, splat.right};
    const std::array<quint64, 2> down{256u - splat.below, splat.below};
    const QSize size = sums.size();
    if (whollyInside(splat, size)) {
        // Nearly every splat lies wholly inside: four sums with no bounds to
        // test, the lower two a line further on.
        PixelSums *upper = sums.row(splat.row) + splat.column;
        PixelSums *lower = upper + size.width();
        const quint64 upperLeft = addToPixel(upper[0], across[0] * down[0], red, green, blue);
        const quint64 upperRight = addToPixel(upper[1], across[1] * down[0], red, green, blue);
        const quint64 lowerLeft = addToPixel(lower[0], across[0] * down[1], red, green, blue);
        const quint64 lowerRight = addToPixel(lower[1], across[1] * down[1], red, green, blue);
        return std::max({upperLeft, upperRight, lowerLeft, lowerRight});
    }
    quint64 largest = 0;
    for (int dy = 0; dy < 2; ++dy) {
        const int row = splat.row + dy;
        if (row < 0 || row >= size.height())
            continue;
        PixelSums *line = sums.row(row) + splat.column;
        for (int dx = 0; dx < 2; ++dx) {
            if (splat.column + dx >= 0 && splat.column + dx < size.width()) {
                largest = qMax(largest, addToPixel(line[dx], across[dx] * down[dy], red, green, blue));
            }
        }
    }
    return largest;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VORLANE_SPLAT_LANES 1

// Every lane enabled: the unmasked forms start from an undefined register
// that the compiler warns about.
constexpr __mmask8 allLanes = 0xFF;

// A splat's two pixels of a row are 64 bytes side by side, so AVX-512 adds
// to both in one: lanes 0 to 3 hold the left pixel's weight, red, green and
// blue, lanes 4 to 7 the right one's. The products fit 32 bits (weights up
// to 65536, components up to 255), so the sums are those of addSplat.
class SplatLanes
{
public:
    __attribute__((target("avx512f"))) SplatLanes()
        : m_shifts(_mm512_setr_epi64(0, 0, 8, 16, 0, 0, 8, 16))
        , m_components(_mm512_setr_epi64(0, 255, 255, 255, 0, 255, 255, 255))
        , m_weightUnit(_mm512_setr_epi64(1, 0, 0, 0, 1, 0, 0, 0))
        , m_largest(_mm512_setzero_si512())
    {
    }

    // Adds a splat wholly inside the sums at upper (its upper left pixel),
    // the lower pixels width further on.
    __attribute__((target("avx512f"))) void add(PixelSums *upper, qint64 width, const Splat &splat)
    {
        const __m512i components = _mm512_maskz_srlv_epi64(allLanes, _mm512_set1_epi64(splat.colour), m_shifts);
        const __m512i colour = _mm512_or_si512(_mm512_and_si512(components, m_components), m_weightUnit);
        const __m512i right = _mm512_set1_epi64(splat.right);
        const __m512i across = _mm512_mask_sub_epi64(right, 0x0F, _mm512_set1_epi64(256), right);
        const __m512i upperWeights = _mm512_maskz_mul_epu32(allLanes, across, _mm512_set1_epi64(256 - splat.below));
        const __m512i lowerWeights = _mm512_maskz_mul_epu32(allLanes, across, _mm512_set1_epi64(splat.below));
        note(addTo(upper, _mm512_maskz_mul_epu32(allLanes, upperWeights, colour)));
        note(addTo(upper + width, _mm512_maskz_mul_epu32(allLanes, lowerWeights, colour)));
    }

    // The largest weight of the pixels added to.
    __attribute__((target("avx512f"))) quint64 largest() const
    {
        alignas(64) quint64 lanes[8];
        _mm512_store_si512(lanes, m_largest);
        return qMax(lanes[0], lanes[4]);
    }

private:
    __attribute__((target("avx512f"))) void note(__m512i sums)
    {
        m_largest = _mm512_maskz_max_epu64(allLanes, m_largest, sums);
    }

    __attribute__((target("avx512f"))) static __m512i addTo(PixelSums *pixels, __m512i amounts)
    {
        const __m512i sums = _mm512_add_epi64(_mm512_loadu_si512(pixels), amounts);
        _mm512_storeu_si512(pixels, sums);
        return sums;
    }

    __m512i m_shifts;
    __m512i m_components;
    __m512i m_weightUnit;
    __m512i m_largest;
};

// SplatLanes in AVX2: one pixel's weight, red, green and blue in a register.
class PixelLanes
{
public:
    __attribute__((target("avx2"))) PixelLanes()
        : m_shifts(_mm256_setr_epi64x(0, 0, 8, 16))
        , m_components(_mm256_setr_epi64x(0, 255, 255, 255))
        , m_weightUnit(_mm256_setr_epi64x(1, 0, 0, 0))
        , m_largest(_mm256_setzero_si256())
    {
    }

    __attribute__((target("avx2"))) void add(PixelSums *upper, qint64 width, const Splat &splat)
    {
        const __m256i components = _mm256_srlv_epi64(_mm256_set1_epi64x(splat.colour), m_shifts);
        const __m256i colour = _mm256_or_si256(_mm256_and_si256(components, m_components), m_weightUnit);
        const quint32 right = splat.right;
        const quint32 below = splat.below;
        note(addTo(upper, (256 - right) * (256 - below), colour));
        note(addTo(upper + 1, right * (256 - below), colour));
        note(addTo(upper + width, (256 - right) * below, colour));
        note(addTo(upper + width + 1, right * below, colour));
    }

    __attribute__((target("avx2"))) quint64 largest() const { return quint64(_mm256_extract_epi64(m_largest, 0)); }

private:
    // The larger of two weights, unsigned: AVX2 compares 64 bits only with a
    // sign, so both have their top bit flipped first.
    __attribute__((target("avx2"))) void note(__m256i sums)
    {
        const __m256i top = _mm256_set1_epi64x(std::numeric_limits<qint64>::min());
        const __m256i larger = _mm256_cmpgt_epi64(_mm256_xor_si256(sums, top), _mm256_xor_si256(m_largest, top));
        m_largest = _mm256_blendv_epi8(m_largest, sums, larger);
    }

    __attribute__((target("avx2"))) static __m256i addTo(PixelSums *pixel, quint32 weight, __m256i colour)
    {
        const __m256i amounts = _mm256_mul_epu32(_mm256_set1_epi64x(weight), colour);
        __m256i *sums = reinterpret_cast<__m256i *>(pixel);
        const __m256i added = _mm256_add_epi64(_mm256_loadu_si256(sums), amounts);
        _mm256_storeu_si256(sums, added);
        return added;
    }

    __m256i m_shifts;
    __m256i m_components;
    __m256i m_weightUnit;
    __m256i m_largest;
};
#endif

// The rows of a poster cut into bands. A band's rows are a power of two, so
// finding a splat's band is a shift, and at most 128, so a splat's row fits
// BandSplat.
class PosterBands
{
public:
    static constexpr qint64 bandBytes = 1 << 21;

    explicit PosterBands(QSize size)
        : m_shift(shiftFor(size.width()))
        , m_count(((size.height() - 1) >> m_shift) + 1)
    {
    }

    int count() const { return m_count; }
    int shift() const { return m_shift; }
    int of(const Splat &splat) const { return qMax(splat.row, 0) >> m_shift; }
    // The row just above band, where its splats' rows are counted from.
    int rowAbove(int band) const { return (band << m_shift) - 1; }

private:
    static int shiftFor(int width)
    {
        int shift = 0;
        while (shift < 7 && (qint64(2) << shift) * width * qint64(sizeof(PixelSums)) <= bandBytes)
            ++shift;
        return shift;
    }

    int m_shift;
    int m_count;
};

// A worker's splats of the pieces it computed in a round, sorted by band.
struct SortedSplats
{
    // The piece being computed: its splats in the order they were made, and
    // the band of each.
    // Left uninitialised: every splat is written before it is read, and
    // memory never written is never touched.
    std::unique_ptr<BandSplat[]> splats;
    std::unique_ptr<quint16[]> splatBands;
    static_assert(largestPosterSide <= 65536, "a band's number fits 16 bits");
    std::unique_ptr<BandSplat[]> sorted; // each piece's in a stretch of posterPiecePoints
    // Where each piece's bands begin in sorted, bands + 1 a piece.
    std::vector<quint32> bandStart;
    std::vector<quint32> bandNext; // where the next splat of each band goes
    int computed = 0; // pieces this round
    std::optional<PosterBlock> block;

    const quint32 *bandStartOf(int piece, int bands) const { return bandStart.data() + piece * (bands + 1); }
};

#if VORLANE_SPLAT_LANES
__attribute__((target("avx512f"))) __m512d floored(__m512d values)
{
    return _mm512_maskz_roundscale_pd(allLanes, values, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
}

// PosterRaster::splat and packed() for eight points at a time, in the same
// IEEE operations: the splats of the block's first points (a multiple of
// eight) that touch a pixel written after the piece's count splats, each
// band's counted at counts[band + 1]. Returns how many points it took.
__attribute__((target("avx512f"))) qint32 splatInLanes(const PosterRaster &raster, const PosterBands &bands,
                                                       const PosterBlock &block, qint32 points,
                                                       SortedSplats &worker, quint32 *counts, qsizetype &count)
{
    const __m512d scale = _mm512_set1_pd(raster.placement().scale());
    const __m512d offsetX = _mm512_set1_pd(raster.placement().offsetX());
    const __m512d offsetY = _mm512_set1_pd(raster.placement().offsetY());
    const __m512d width = _mm512_set1_pd(raster.width());
    const __m512d height = _mm512_set1_pd(raster.height());
    const __m512d minusOne = _mm512_set1_pd(-1.0);
    const __m512d fraction = _mm512_set1_pd(256.0);
    const __m256i low8 = _mm256_set1_epi32(255);
    const __m256i shift = _mm256_set1_epi32(bands.shift());
    qint32 n = 0;
    for (; n + 8 <= points; n += 8) {
        const __m512d u = _mm512_add_pd(_mm512_mul_pd(_mm512_loadu_pd(&block.xs[n]), scale), offsetX);
        const __m512d v = _mm512_sub_pd(offsetY, _mm512_mul_pd(_mm512_loadu_pd(&block.ys[n]), scale));
        const __mmask8 inside = _mm512_cmp_pd_mask(u, minusOne, _CMP_GT_OQ) & _mm512_cmp_pd_mask(u, width, _CMP_LT_OQ)
                                & _mm512_cmp_pd_mask(v, minusOne, _CMP_GT_OQ)
                                & _mm512_cmp_pd_mask(v, height, _CMP_LT_OQ);
        if (inside == 0)
            continue;
        // Only the points inside are converted: their floors fit 32 bits.
        const __m256i across = _mm512_maskz_cvttpd_epi32(inside, floored(_mm512_mul_pd(u, fraction)));
        const __m256i down = _mm512_maskz_cvttpd_epi32(inside, floored(_mm512_mul_pd(v, fraction)));
        const __m256i row = _mm256_srai_epi32(down, 8);
        const __m256i band = _mm256_srlv_epi32(_mm256_max_epi32(row, _mm256_setzero_si256()), shift);
        const __m256i rowAbove = _mm256_sub_epi32(_mm256_sllv_epi32(band, shift), _mm256_set1_epi32(1));
        const __m256i low = _mm256_or_si256(
            _mm256_or_si256(_mm256_add_epi32(_mm256_srai_epi32(across, 8), _mm256_set1_epi32(1)),
                            _mm256_slli_epi32(_mm256_sub_epi32(row, rowAbove), 16)),
            _mm256_slli_epi32(_mm256_and_si256(across, low8), 24));
        const __m256i colour = _mm256_and_si256(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(&block.colours[n])), _mm256_set1_epi32(0xFFFFFF));
        const __m256i high = _mm256_or_si256(_mm256_and_si256(down, low8), _mm256_slli_epi32(colour, 8));
        const __m512i splats =
            _mm512_or_si512(_mm512_maskz_cvtepu32_epi64(allLanes, low),
                            _mm512_maskz_slli_epi64(allLanes, _mm512_maskz_cvtepu32_epi64(allLanes, high), 32));
        const int taken = __builtin_popcount(inside);
        const __mmask8 first = __mmask8((1u << taken) - 1);
        _mm512_mask_storeu_epi64(&worker.splats[count], first, _mm512_maskz_compress_epi64(inside, splats));
        alignas(64) qint64 bandOf[8];
        _mm512_store_si512(bandOf, _mm512_maskz_compress_epi64(inside, _mm512_maskz_cvtepu32_epi64(allLanes, band)));
        for (int k = 0; k < taken; ++k) {
            worker.splatBands[count + k] = quint16(bandOf[k]);
            ++counts[bandOf[k] + 1];
        }
        count += taken;
    }
    return n;
}

// splatInLanes four points at a time, for processors with AVX2 alone; the
// splats of the points inside are taken out of the lanes one by one.
__attribute__((target("avx2"))) qint32 splatInFourLanes(const PosterRaster &raster, const PosterBands &bands,
                                                        const PosterBlock &block, qint32 points,
                                                        SortedSplats &worker, quint32 *counts, qsizetype &count)
{
    const __m256d scale = _mm256_set1_pd(raster.placement().scale());
    const __m256d offsetX = _mm256_set1_pd(raster.placement().offsetX());
    const __m256d offsetY = _mm256_set1_pd(raster.placement().offsetY());
    const __m256d width = _mm256_set1_pd(raster.width());
    const __m256d height = _mm256_set1_pd(raster.height());
    const __m256d minusOne = _mm256_set1_pd(-1.0);
    const __m256d fraction = _mm256_set1_pd(256.0);
    const __m128i low8 = _mm_set1_epi32(255);
    const __m128i shift = _mm_cvtsi32_si128(bands.shift());
    qint32 n = 0;
    for (; n + 4 <= points; n += 4) {
        const __m256d u = _mm256_add_pd(_mm256_mul_pd(_mm256_loadu_pd(&block.xs[n]), scale), offsetX);
        const __m256d v = _mm256_sub_pd(offsetY, _mm256_mul_pd(_mm256_loadu_pd(&block.ys[n]), scale));
        const __m256d insideLanes = _mm256_and_pd(
            _mm256_and_pd(_mm256_cmp_pd(u, minusOne, _CMP_GT_OQ), _mm256_cmp_pd(u, width, _CMP_LT_OQ)),
            _mm256_and_pd(_mm256_cmp_pd(v, minusOne, _CMP_GT_OQ), _mm256_cmp_pd(v, height, _CMP_LT_OQ)));
        const int inside = _mm256_movemask_pd(insideLanes);
        if (inside == 0)
            continue;
        // The points outside convert to nonsense, which is never taken.
        const __m128i across = _mm256_cvttpd_epi32(_mm256_floor_pd(_mm256_mul_pd(u, fraction)));
        const __m128i down = _mm256_cvttpd_epi32(_mm256_floor_pd(_mm256_mul_pd(v, fraction)));
        const __m128i row = _mm_srai_epi32(down, 8);
        const __m128i band = _mm_srl_epi32(_mm_max_epi32(row, _mm_setzero_si128()), shift);
        const __m128i rowAbove = _mm_sub_epi32(_mm_sll_epi32(band, shift), _mm_set1_epi32(1));
        const __m128i low =
            _mm_or_si128(_mm_or_si128(_mm_add_epi32(_mm_srai_epi32(across, 8), _mm_set1_epi32(1)),
                                      _mm_slli_epi32(_mm_sub_epi32(row, rowAbove), 16)),
                         _mm_slli_epi32(_mm_and_si128(across, low8), 24));
        const __m128i colours = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&block.colours[n]));
        const __m128i colour = _mm_and_si128(colours, _mm_set1_epi32(0xFFFFFF));
        const __m128i high = _mm_or_si128(_mm_and_si128(down, low8), _mm_slli_epi32(colour, 8));
        alignas(32) BandSplat splats[4];
        const __m256i wide =
            _mm256_or_si256(_mm256_cvtepu32_epi64(low), _mm256_slli_epi64(_mm256_cvtepu32_epi64(high), 32));
        _mm256_store_si256(reinterpret_cast<__m256i *>(splats), wide);
        alignas(16) qint32 bandOf[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(bandOf), band);
        for (int k = 0; k < 4; ++k) {
            if (!(inside >> k & 1))
                continue;
            worker.splats[count] = splats[k];
            worker.splatBands[count] = quint16(bandOf[k]);
            ++counts[bandOf[k] + 1];
            ++count;
        }
    }
    return n;
}
#endif

// Computes pieces of the poster's random sequence into splats sorted by band.
class PosterPieceComputer
{
public:
    PosterPieceComputer(const FractalDocument &document, const PosterSettings &settings, const PosterView &view,
                        QSize size, const PosterBands &bands, PosterStepping stepping)
        : m_iteration(document, settings, settings.points)
        , m_stepping(stepping)
        , m_lanes(availablePosterStepping(stepping))
        , m_resolution(document.settings.resolution)
        , m_raster(view, size)
        , m_settings(settings)
        , m_bands(bands)
    {
    }

    qint64 pointsOf(qint64 piece) const
    {
        return qBound<qint64>(0, m_settings.points - piece * posterPiecePoints, posterPiecePoints);
    }

    // Room for pieces pieces a round.
    void makeRoom(SortedSplats &worker, int pieces) const
    {
        worker.splats = std::make_unique_for_overwrite<BandSplat[]>(posterPiecePoints);
        worker.splatBands = std::make_unique_for_overwrite<quint16[]>(posterPiecePoints);
        worker.sorted = std::make_unique_for_overwrite<BandSplat[]>(posterPiecePoints * pieces);
        worker.bandStart.resize((m_bands.count() + 1) * pieces);
        worker.bandNext.resize(m_bands.count());
        worker.block.emplace(m_resolution);
    }

    // Starts a round: nothing computed.
    static void clear(SortedSplats &worker)
    {
        std::fill(worker.bandStart.begin(), worker.bandStart.end(), 0u);
        worker.computed = 0;
    }

    // Computes piece as the worker's next of the round.
    void compute(qint64 piece, SortedSplats &worker) const
    {
        const int batch = worker.computed;
        quint32 *counts = worker.bandStart.data() + batch * (m_bands.count() + 1);
        qsizetype count = 0;
        const qint64 first = piece * posterPiecePoints + 1;
        m_iteration.runInBlocks(m_stepping, *worker.block, m_settings.seed, quint64(piece), first,
                                first + pointsOf(piece), [&](const PosterBlock &block, qint32 points) {
                                    splatBlock(block, points, worker, counts, count);
                                });
        sortByBand(worker, batch, count);
        ++worker.computed;
    }

private:
    // The splats of a block's points that touch a pixel, after the piece's
    // count splats, each band's counted at counts[band + 1].
    void splatBlock(const PosterBlock &block, qint32 points, SortedSplats &worker, quint32 *counts,
                    qsizetype &count) const
    {
        qint32 n = 0;
#if VORLANE_SPLAT_LANES
        if (m_lanes == PosterStepping::EightLanes)
            n = splatInLanes(m_raster, m_bands, block, points, worker, counts, count);
        else if (m_lanes == PosterStepping::FourLanes)
            n = splatInFourLanes(m_raster, m_bands, block, points, worker, counts, count);
#endif
        for (; n < points; ++n) {
            Splat splat;
            if (m_raster.splat(block.xs[n], block.ys[n], block.colours[n], splat)) {
                const int band = m_bands.of(splat);
                worker.splats[count] = packed(splat, m_bands.rowAbove(band));
                worker.splatBands[count] = quint16(band);
                ++counts[band + 1];
                ++count;
            }
        }
    }

    // Each band's splats counted at the batch's bandStart[band + 1] as they
    // were made.
    void sortByBand(SortedSplats &worker, int batch, qsizetype count) const
    {
        quint32 *start = worker.bandStart.data() + batch * (m_bands.count() + 1);
        start[0] = quint32(batch * posterPiecePoints);
        for (int b = 0; b < m_bands.count(); ++b)
            start[b + 1] += start[b];
        // Nothing is allocated here: a worker thread has no one to tell.
        std::copy(start, start + m_bands.count(), worker.bandNext.begin());
        for (qsizetype i = 0; i < count; ++i)
            worker.sorted[worker.bandNext[worker.splatBands[i]]++] = worker.splats[i];
    }

    const PosterIteration m_iteration;
    const PosterStepping m_stepping;
    const PosterStepping m_lanes; // the splats', where the processor has them
    const int m_resolution;
    const PosterRaster m_raster;
    const PosterSettings &m_settings;
    const PosterBands &m_bands;
};

// Adds the splats of a band, of every worker's pieces, to the sums. The
// densest pixel is noted per band as the sums grow, and a band is added by
// one worker at a time, so no one has to scan the sums after.
class PosterBandAdder
{
public:
    PosterBandAdder(PosterAccumulation &sums, const PosterBands &bands, PosterStepping stepping)
        : m_sums(sums)
        , m_bands(bands)
        , m_stepping(availablePosterStepping(stepping))
        , m_bandLargest(std::size_t(bands.count()), 0)
        , m_bandReached(std::size_t(bands.count()), 0)
    {
    }

    void add(int band, const std::vector<SortedSplats> &workers)
    {
        const int above = m_bands.rowAbove(band);
        quint64 largest = m_bandLargest[std::size_t(band)];
        bool reached = m_bandReached[std::size_t(band)] != 0;
        if (!reached)
            makeReachedPagesWritable(band, workers);
        for (const SortedSplats &worker : workers) {
            for (int batch = 0; batch < worker.computed; ++batch) {
                const quint32 *start = worker.bandStartOf(batch, m_bands.count());
                largest = qMax(largest, addSplatsHow(worker.sorted.get(), start[band], start[band + 1], above));
                reached = reached || start[band + 1] > start[band];
            }
        }
        m_bandLargest[std::size_t(band)] = largest;
        m_bandReached[std::size_t(band)] = char(reached);
    }

    // A band's splats reach its rows and the row below them.
    PosterReach reach() const
    {
        const int height = m_sums.size().height();
        PosterReach reach{0, std::vector<bool>(std::size_t(height), false)};
        for (int band = 0; band < m_bands.count(); ++band) {
            reach.largestWeight = qMax(reach.largestWeight, m_bandLargest[std::size_t(band)]);
            if (!m_bandReached[std::size_t(band)])
                continue;
            const int end = qMin(height, m_bands.rowAbove(band + 1) + 2);
            for (int row = m_bands.rowAbove(band) + 1; row < end; ++row)
                reach.rows[std::size_t(row)] = true;
        }
        return reach;
    }

private:
    static constexpr quintptr pageBytes = 4096;
    // A band's pages and those of the row below it, which takes at most half
    // of a band, as bits.
    static constexpr std::size_t bandPageWords = (PosterBands::bandBytes * 3 / 2 / pageBytes + 2) / 64 + 1;

    // Sums are read before they are written, and a page first read is the
    // system's shared page of zeros, which the write then replaces at the
    // price of a message to every other processor running this process. So
    // the first time splats come to a band, the pages they reach are made
    // writable beforehand, in a few calls; a page no splat reaches stays
    // untouched, and one that a later round reaches first is faulted in as
    // before. A hint only: where the system cannot, nothing changes.
    void makeReachedPagesWritable(int band, const std::vector<SortedSplats> &workers) const
    {
#if defined(MADV_POPULATE_WRITE)
        const QSize size = m_sums.size();
        const int above = m_bands.rowAbove(band);
        const quintptr origin = quintptr(m_sums.row(above + 1)) & ~(pageBytes - 1);
        const quintptr sumsEnd = quintptr(m_sums.row(size.height() - 1) + size.width());
        std::array<quint64, bandPageWords> reached{};
        const auto mark = [&](int row, int column) {
            const quintptr first = quintptr(m_sums.row(row) + column);
            const quintptr last = qMin(first + 2 * sizeof(PixelSums), sumsEnd) - 1;
            for (quintptr page = (first - origin) / pageBytes; page <= (last - origin) / pageBytes; ++page)
                reached[page / 64] |= quint64(1) << (page % 64);
        };
        for (const SortedSplats &worker : workers) {
            for (int batch = 0; batch < worker.computed; ++batch) {
                const quint32 *start = worker.bandStartOf(batch, m_bands.count());
                for (quint32 i = start[band]; i < start[band + 1]; ++i) {
                    const Splat splat = unpacked(worker.sorted[i], above);
                    const int column = qBound(0, splat.column, qMax(0, size.width() - 2));
                    const int row = qBound(0, splat.row, size.height() - 1);
                    mark(row, column);
                    mark(qMin(row + 1, size.height() - 1), column);
                }
            }
        }
        for (std::size_t page = 0; page < bandPageWords * 64;) {
            if (!(reached[page / 64] >> (page % 64) & 1)) {
                ++page;
                continue;
            }
            std::size_t end = page + 1;
            while (end < bandPageWords * 64 && (reached[end / 64] >> (end % 64) & 1))
                ++end;
            madvise(reinterpret_cast<void *>(origin + page * pageBytes), (end - page) * pageBytes,
                    MADV_POPULATE_WRITE);
            page = end;
        }
#else
        Q_UNUSED(band);
        Q_UNUSED(workers);
#endif
    }

    quint64 addSplatsHow(const BandSplat *splats, quint32 first, quint32 end, int rowAbove)
    {
#if VORLANE_SPLAT_LANES
        if (m_stepping == PosterStepping::EightLanes)
            return addSplatsInEightLanes(splats, first, end, rowAbove);
        if (m_stepping == PosterStepping::FourLanes)
            return addSplatsInFourLanes(splats, first, end, rowAbove);
#endif
        return addSplats(splats, first, end, rowAbove);
    }

#if VORLANE_SPLAT_LANES
    // The splats wholly inside the sums go through lanes, the others one
    // pixel at a time. Written out for each kind of lanes: a loop shared
    // through a template came out a tenth slower for AVX-512.
    __attribute__((target("avx512f"))) quint64 addSplatsInEightLanes(const BandSplat *splats, quint32 first,
                                                                     quint32 end, int rowAbove)
    {
        SplatLanes lanes;
        quint64 largest = 0;
        const QSize size = m_sums.size();
        for (quint32 i = first; i < end; ++i) {
            if (i + prefetchDistance < end)
                prefetch(unpacked(splats[i + prefetchDistance], rowAbove));
            const Splat splat = unpacked(splats[i], rowAbove);
            if (whollyInside(splat, size))
                lanes.add(m_sums.row(splat.row) + splat.column, size.width(), splat);
            else
                largest = qMax(largest, addSplat(m_sums, splat));
        }
        return qMax(largest, lanes.largest());
    }

    __attribute__((target("avx2"))) quint64 addSplatsInFourLanes(const BandSplat *splats, quint32 first,
                                                                 quint32 end, int rowAbove)
    {
        PixelLanes lanes;
        quint64 largest = 0;
        const QSize size = m_sums.size();
        for (quint32 i = first; i < end; ++i) {
            if (i + prefetchDistance < end)
                prefetch(unpacked(splats[i + prefetchDistance], rowAbove));
            const Splat splat = unpacked(splats[i], rowAbove);
            if (whollyInside(splat, size))
                lanes.add(m_sums.row(splat.row) + splat.column, size.width(), splat);
            else
                largest = qMax(largest, addSplat(m_sums, splat));
        }
        return qMax(largest, lanes.largest());
    }
#endif

    quint64 addSplats(const BandSplat *splats, quint32 first, quint32 end, int rowAbove)
    {
        quint64 largest = 0;
        for (quint32 i = first; i < end; ++i) {
            if (i + prefetchDistance < end)
                prefetch(unpacked(splats[i + prefetchDistance], rowAbove));
            largest = qMax(largest, addSplat(m_sums, unpacked(splats[i], rowAbove)));
        }
        return largest;
    }

    // The sums a splat reaches are seldom in the cache, and waiting for each
    // in turn leaves the processor idle; asked for a few splats ahead, they
    // arrive while the splats before are added.
    static constexpr quint32 prefetchDistance = 16;

    // A prefetch never faults, so a splat at an edge needs no bounds here;
    // its address is worked out as a number, never as a pointer off the sums.
    void prefetch(const Splat &splat) const
    {
        constexpr quintptr pair = 2 * sizeof(PixelSums);
        const qint64 width = m_sums.size().width();
        const quintptr upper =
            quintptr(m_sums.row(0)) + quintptr(qint64(splat.row) * width + splat.column) * sizeof(PixelSums);
        const quintptr lower = upper + quintptr(width) * sizeof(PixelSums);
        for (quintptr line : {upper, upper + pair - 1, lower, lower + pair - 1})
            __builtin_prefetch(reinterpret_cast<const void *>(line), 1);
    }

    PosterAccumulation &m_sums;
    const PosterBands &m_bands;
    const PosterStepping m_stepping;
    std::vector<quint64> m_bandLargest;
    std::vector<char> m_bandReached; // not bits: workers write neighbouring bands at once
};

// One poster run. Each round every worker computes a few pieces, each into
// splats sorted by band of rows; then the workers add the splats band by
// band, the even bands first and the odd ones after, because a splat reaches
// one row into the next band. A band is added by one worker at a time, so no
// pixel is ever written by two threads at once, and the sums are whole
// numbers, so neither the thread count nor the order changes a bit.
class PosterRun
{
public:
    // Pieces a worker computes in a round. Each round the sums that splats
    // reach pass through the cache once, so more pieces a round mean fewer
    // passes; but the workers' splats take memory, faulted in once, that a
    // poster of few rounds does not win back. So a round takes from the
    // fewest to the most pieces, at most a quarter of a worker's pieces, and
    // the workers' splats at most half the memory of the sums.
    static constexpr int fewestPiecesPerRound = 4;
    static constexpr int mostPiecesPerRound = 16;

    PosterRun(const FractalDocument &document, const PosterSettings &settings, const PosterView &view,
              PosterPieces pieces, PosterAccumulation &sums, const RunControl &control, int workers,
              PosterStepping stepping)
        : m_bands(sums.size())
        , m_computer(document, settings, view, sums.size(), m_bands, stepping)
        , m_adder(sums, m_bands, stepping)
        , m_pieces(pieces)
        , m_control(control)
        , m_batches(batches(pieces, workers, sums.size()))
        , m_workers(workers)
        , m_barrier(workers, Completion{this})
    {
        for (qint64 piece = pieces.first; piece < pieces.end; ++piece)
            m_total += m_computer.pointsOf(piece);
        for (SortedSplats &worker : m_workers)
            m_computer.makeRoom(worker, m_batches);
    }

    // The memory the workers' buffers take, as the constructor sizes them.
    static qint64 workerBytes(QSize size, PosterPieces pieces, int workers)
    {
        const qint64 bands = PosterBands(size).count();
        const qint64 rounds = batches(pieces, workers, size);
        const qint64 each = posterPiecePoints * qint64(sizeof(BandSplat) + sizeof(quint16))
                            + posterPiecePoints * rounds * qint64(sizeof(BandSplat))
                            + ((bands + 1) * rounds + bands) * qint64(sizeof(quint32)) + PosterBlock::mostBytes();
        return each * workers;
    }

    PosterRunResult run()
    {
        std::vector<std::thread> threads;
        std::latch start(1);
        bool started = true;
        try {
            for (int w = 1; w < int(m_workers.size()); ++w)
                threads.emplace_back([this, w, &start, &started] {
                    start.wait();
                    if (started)
                        work(w);
                });
        } catch (const std::system_error &) {
            started = false;
        }
        start.count_down();
        if (started)
            work(0);
        for (std::thread &thread : threads)
            thread.join();
        if (!started)
            return {PosterRunEnd::Failed,
                    QCoreApplication::translate("Poster", "The poster's worker threads could not be started."), {}};
        return {m_cancelled ? PosterRunEnd::Cancelled : PosterRunEnd::Finished, QString(), m_adder.reach()};
    }

private:
    struct Completion
    {
        PosterRun *run;
        void operator()() noexcept { run->endPhase(); }
    };

    // The batch-th piece of worker in this round. Neighbouring pieces go to
    // different workers, so that a run of few pieces is still shared out.
    qint64 pieceOf(int worker, int batch) const
    {
        return m_pieces.first + (m_round * m_batches + batch) * qint64(m_workers.size()) + worker;
    }

    void work(int w)
    {
        while (!m_stopped) {
            compute(w);
            m_barrier.arrive_and_wait();
            addBands(0);
            m_barrier.arrive_and_wait();
            addBands(1);
            m_barrier.arrive_and_wait();
        }
    }

    void compute(int w)
    {
        SortedSplats &worker = m_workers[w];
        PosterPieceComputer::clear(worker);
        for (int batch = 0; batch < m_batches && pieceOf(w, batch) < m_pieces.end; ++batch)
            m_computer.compute(pieceOf(w, batch), worker);
    }

    static int batches(PosterPieces pieces, int workers, QSize size)
    {
        constexpr qint64 fewestRounds = 4;
        const qint64 pieceBytes = posterPiecePoints * qint64(sizeof(BandSplat));
        const qint64 each = (pieces.end - pieces.first + workers - 1) / workers;
        const qint64 byMemory = PosterAccumulation::bytesFor(size) / (2 * workers * pieceBytes);
        const qint64 perRound = qBound(qint64(fewestPiecesPerRound), qMin(byMemory, each / fewestRounds),
                                       qint64(mostPiecesPerRound));
        return int(qMin(perRound, each));
    }

    void addBands(int parity)
    {
        for (;;) {
            const int band = 2 * m_nextBand.fetch_add(1) + parity;
            if (band >= m_bands.count())
                return;
            m_adder.add(band, m_workers);
        }
    }

    // Runs on one thread while the others wait at the barrier.
    void endPhase()
    {
        m_nextBand = 0;
        if (++m_phase % 3 != 0)
            return;
        for (int w = 0; w < int(m_workers.size()); ++w) {
            for (int batch = 0; batch < m_workers[w].computed; ++batch)
                m_done += m_computer.pointsOf(pieceOf(w, batch));
        }
        ++m_round;
        if (m_control.onProgress)
            m_control.onProgress(m_done, m_total);
        m_cancelled = m_control.stop != nullptr && m_control.stop->load();
        m_stopped = m_cancelled || pieceOf(0, 0) >= m_pieces.end;
    }

    const PosterBands m_bands;
    const PosterPieceComputer m_computer;
    PosterBandAdder m_adder;
    const PosterPieces m_pieces;
    const RunControl &m_control;
    const int m_batches; // pieces a worker computes in a round
    std::vector<SortedSplats> m_workers;
    std::barrier<Completion> m_barrier;
    std::atomic<int> m_nextBand{0};
    int m_phase = 0;
    qint64 m_round = 0;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_cancelled = false;
    bool m_stopped = false;
};

int workerCount(int requested, PosterPieces pieces)
{
    return int(qBound<qint64>(1, pieces.end - pieces.first, qint64(runThreads(requested))));
}

} // namespace

QSize posterSumsSize(const PosterSettings &settings)
{
    return settings.size * settings.supersample;
}

qint64 posterPieceCount(qint64 points)
{
    return (points + posterPiecePoints - 1) / posterPiecePoints;
}

PosterPieces posterPart(qint64 points, int part, int parts)
{
    const qint64 count = posterPieceCount(points);
    // Each bound rounded down, so the parts meet without a gap.
    const auto bound = [count, parts](int k) { return qint64((__int128(count) * k) / parts); };
    return {bound(part - 1), bound(part)};
}

QByteArray posterArithmeticChecksum(const FractalDocument &document)
{
    return PosterIteration(document, PosterSettings(), 1).checksum();
}

PosterView fitPosterView(const FractalDocument &document, const PosterSettings &settings)
{
    std::vector<double> xs;
    std::vector<double> ys;
    xs.reserve(fittingPoints);
    ys.reserve(fittingPoints);
    const PosterIteration iteration(document, settings, fittingPoints);
    iteration.run(settings.seed, fittingPiece, 1, fittingPoints + 1, [&](double x, double y, qint32) {
        if (std::isfinite(x) && std::isfinite(y)) {
            xs.push_back(x);
            ys.push_back(y);
        }
    });
    PosterView view;
    if (!xs.empty()) {
        const double left = quantile(xs, strayShare);
        const double right = quantile(xs, 1.0 - strayShare);
        const double bottom = quantile(ys, strayShare);
        const double top = quantile(ys, 1.0 - strayShare);
        view.centreX = (left + right) / 2.0;
        view.centreY = (bottom + top) / 2.0;
        // A fractal of no width or height is measured by its other side, a
        // single point as one unit.
        const double extent = qMax(qMax(right - left, top - bottom), 1e-9);
        const double usable = 1.0 - 2.0 * frameMargin;
        view.pixelsPerUnit = qMin(settings.size.width() * usable / qMax(right - left, extent * 1e-6),
                                  settings.size.height() * usable / qMax(top - bottom, extent * 1e-6));
        if (right - left <= 0.0 && top - bottom <= 0.0)
            view.pixelsPerUnit = 1.0;
    }
    view.pixelsPerUnit *= settings.zoom;
    if (settings.centre) {
        view.centreX = settings.centre->x();
        view.centreY = settings.centre->y();
    }
    return view;
}

qint64 posterWorkerBytes(QSize size, qint64 points, PosterPieces pieces, int threads)
{
    pieces.end = qMin(pieces.end, posterPieceCount(points));
    if (pieces.first >= pieces.end)
        return 0;
    return PosterRun::workerBytes(size, pieces, workerCount(threads, pieces));
}

PosterRunResult accumulatePoster(const FractalDocument &document, const PosterSettings &settings,
                                 const PosterView &view, PosterPieces pieces, PosterAccumulation &sums,
                                 const RunControl &control, PosterStepping stepping)
{
    pieces.end = qMin(pieces.end, posterPieceCount(settings.points));
    if (pieces.first >= pieces.end)
        return {PosterRunEnd::Finished, QString(), {0, std::vector<bool>(std::size_t(sums.size().height()), false)}};
    try {
        PosterView fine = view;
        fine.pixelsPerUnit *= settings.supersample;
        PosterRun run(document, settings, fine, pieces, sums, control, workerCount(control.threads, pieces),
                      stepping);
        return run.run();
    } catch (const std::bad_alloc &) {
        return {PosterRunEnd::Failed,
                QCoreApplication::translate("Poster", "There is not enough memory for the poster's workers."), {}};
    }
}

} // namespace Vorlane
