#include "render/exact/chainlanes.h"

#include "render/exact/lanedispatch.h"

#include <algorithm>
#include <cstring>

namespace Vorlane {

namespace {

// Four chains moved side by side: each restart begins a chain that owes
// nothing to the one before, so the processor overlaps their arithmetic.
void stepSideBySide(const SteppingMaps &maps, const quint8 *transformations, Chain *chains, std::size_t count,
                    CanvasPoint *points)
{
    for (qint32 step = 0;; ++step) {
        bool moved = false;
        for (Chain *chain = chains; chain != chains + count; ++chain) {
            const qint32 n = chain->begin + step;
            if (n >= chain->end)
                continue;
            points[n] = chain->point;
            chain->point = applyMap(maps, transformations[n], chain->point);
            moved = true;
        }
        if (!moved)
            return;
    }
}

void stepChainsScalar(const SteppingMaps &maps, const quint8 *transformations, Chain *chains, std::size_t count,
                      CanvasPoint *points)
{
    constexpr std::size_t sideBySide = 4;
    for (std::size_t c = 0; c < count; c += sideBySide)
        stepSideBySide(maps, transformations, chains + c, std::min(sideBySide, count - c), points);
}

int chooseMapsScalar(const float *cumulativeWeights, int trCount, const float *numbers, quint8 *chosen,
                     std::size_t count, int selected)
{
    for (std::size_t i = 0; i < count; ++i) {
        const int below = entriesBelow(cumulativeWeights, trCount, numbers[i]);
        selected = below > 0 ? below : selected;
        chosen[i] = quint8(selected);
    }
    return selected;
}

#if VORLANE_AVX2_LANES

constexpr int lanes = 8;

// Doubles of lanes 0 to 3 and of lanes 4 to 7.
struct LaneDoubles
{
    __m256d half[2];
};

// The values of the maps of eight lanes.
struct LaneMapValues
{
    __m256 contractionX;
    __m256 contractionY;
    LaneDoubles cosTheta;
    LaneDoubles sinTheta;
    LaneDoubles translationX;
    LaneDoubles translationY;
};

// Map values of the lanes gathered from memory, for any number of maps.
class GatheredMaps
{
public:
    explicit GatheredMaps(const SteppingMaps &maps)
        : m_maps(maps)
    {
    }

    VORLANE_AVX2 LaneMapValues lookUp(__m256i k) const
    {
        const __m128i low = _mm256_castsi256_si128(k);
        const __m128i high = _mm256_extracti128_si256(k, 1);
        return {gather(m_maps.contractionX, k), gather(m_maps.contractionY, k),
                {{gather(m_maps.cosTheta, low), gather(m_maps.cosTheta, high)}},
                {{gather(m_maps.sinTheta, low), gather(m_maps.sinTheta, high)}},
                {{gather(m_maps.translationX, low), gather(m_maps.translationX, high)}},
                {{gather(m_maps.translationY, low), gather(m_maps.translationY, high)}}};
    }

private:
    // Every lane enabled, written out because the plain forms start from an
    // undefined register that the compiler warns about.
    VORLANE_AVX2 static __m256d gather(const std::array<double, SteppingMaps::size> &values, __m128i k)
    {
        return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), values.data(), k,
                                        _mm256_castsi256_pd(_mm256_set1_epi64x(-1)), 8);
    }

    VORLANE_AVX2 static __m256 gather(const std::array<float, SteppingMaps::size> &values, __m256i k)
    {
        return _mm256_mask_i32gather_ps(_mm256_setzero_ps(), values.data(), k,
                                        _mm256_castsi256_ps(_mm256_set1_epi32(-1)), 4);
    }

    const SteppingMaps &m_maps;
};

// Map values of the lanes picked from registers by permutation, for up to 8
// or 16 maps (index 0 included) in one or two registers a value: much cheaper
// than gathers. A double is picked as its two 32-bit halves.
template<int parts>
class RegisterMaps
{
public:
    static constexpr int capacity = parts * lanes;

    VORLANE_AVX2 explicit RegisterMaps(const SteppingMaps &maps)
    {
        m_contractionX = table(maps.contractionX);
        m_contractionY = table(maps.contractionY);
        m_cosTheta = doubleTable(maps.cosTheta);
        m_sinTheta = doubleTable(maps.sinTheta);
        m_translationX = doubleTable(maps.translationX);
        m_translationY = doubleTable(maps.translationY);
    }

    VORLANE_AVX2 LaneMapValues lookUp(__m256i k) const
    {
        // Unpacking the halves takes lanes 0, 1, 4, 5 and then 2, 3, 6, 7; k
        // in that order brings the doubles out as lanes 0 to 3 and 4 to 7.
        const __m256i shuffled = _mm256_permutevar8x32_epi32(k, _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7));
        return {_mm256_castsi256_ps(pick(m_contractionX, k)), _mm256_castsi256_ps(pick(m_contractionY, k)),
                pick(m_cosTheta, shuffled), pick(m_sinTheta, shuffled), pick(m_translationX, shuffled),
                pick(m_translationY, shuffled)};
    }

private:
    struct Table
    {
        __m256i part[parts];
    };
    struct DoubleTable
    {
        Table low;
        Table high;
    };

    template<typename Value>
    VORLANE_AVX2 static Table table(const std::array<Value, SteppingMaps::size> &values)
    {
        alignas(32) std::array<quint32, capacity> words{};
        for (int i = 0; i < capacity; ++i) {
            if constexpr (sizeof(Value) == 4)
                std::memcpy(&words[i], &values[i], 4);
            else
                words[i] = quint32(values[i]);
        }
        Table loaded;
        for (int part = 0; part < parts; ++part)
            loaded.part[part] = _mm256_load_si256(reinterpret_cast<const __m256i *>(words.data() + part * lanes));
        return loaded;
    }

    VORLANE_AVX2 static DoubleTable doubleTable(const std::array<double, SteppingMaps::size> &values)
    {
        std::array<quint64, SteppingMaps::size> bits;
        std::memcpy(bits.data(), values.data(), sizeof(bits));
        std::array<quint64, SteppingMaps::size> highBits;
        for (std::size_t i = 0; i < bits.size(); ++i)
            highBits[i] = bits[i] >> 32;
        return {table(bits), table(highBits)};
    }

    VORLANE_AVX2 static __m256i pick(const Table &table, __m256i k)
    {
        if constexpr (parts == 1)
            return _mm256_permutevar8x32_epi32(table.part[0], k);
        const __m256i upper = _mm256_cmpgt_epi32(k, _mm256_set1_epi32(lanes - 1));
        return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(table.part[0], k),
                                  _mm256_permutevar8x32_epi32(table.part[parts - 1], k), upper);
    }

    VORLANE_AVX2 static LaneDoubles pick(const DoubleTable &table, __m256i shuffled)
    {
        const __m256i low = pick(table.low, shuffled);
        const __m256i high = pick(table.high, shuffled);
        return {{_mm256_castsi256_pd(_mm256_unpacklo_epi32(low, high)),
                 _mm256_castsi256_pd(_mm256_unpackhi_epi32(low, high))}};
    }

    Table m_contractionX;
    Table m_contractionY;
    DoubleTable m_cosTheta;
    DoubleTable m_sinTheta;
    DoubleTable m_translationX;
    DoubleTable m_translationY;
};

// The scalar arithmetic of applyMap, lane by lane: the same IEEE operations
// in the same order (AVX2 has no fused multiply-add), and the conversions to
// float and to 32-bit integers round to nearest with ties to even, as the
// scalar ones do.
struct LaneMaths
{
    // cint16's limits: values beyond them are held just inside, NaN passes
    // through maxpd and minpd as their second operand and converts to
    // 0x80000000, whose low 16 bits are 0.
    VORLANE_AVX2 static __m128i cint16Lanes(__m256d value)
    {
        const __m256d lowest = _mm256_set1_pd(-32768.5);
        const __m256d highest = _mm256_set1_pd(0x1.fffdfffffffffp+14);
        return _mm256_cvtpd_epi32(_mm256_min_pd(highest, _mm256_max_pd(lowest, value)));
    }

    VORLANE_AVX2 static __m256d singleRounded(__m256d value) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(value)); }

    // Four lanes of the rotation and translation: x and y as 32-bit integers.
    VORLANE_AVX2 static void rotateAndTranslate(const LaneMapValues &map, int half, __m128 a4, __m128 b4, __m128i &x,
                                                __m128i &y)
    {
        const __m256d a = _mm256_cvtps_pd(a4);
        const __m256d b = _mm256_cvtps_pd(b4);
        const __m256d cosTheta = map.cosTheta.half[half];
        const __m256d sinTheta = map.sinTheta.half[half];
        const __m256d xRotated = singleRounded(_mm256_sub_pd(_mm256_mul_pd(a, cosTheta), _mm256_mul_pd(b, sinTheta)));
        const __m256d yRotated = singleRounded(_mm256_add_pd(_mm256_mul_pd(a, sinTheta), _mm256_mul_pd(b, cosTheta)));
        x = cint16Lanes(_mm256_add_pd(map.translationX.half[half], xRotated));
        y = cint16Lanes(_mm256_add_pd(map.translationY.half[half], yRotated));
    }

    // Eight points, as 32-bit integers holding 16-bit values, moved by their
    // lanes' maps.
    VORLANE_AVX2 static void apply(const LaneMapValues &map, __m256i &x, __m256i &y)
    {
        const __m256 a = _mm256_mul_ps(_mm256_cvtepi32_ps(x), map.contractionX);
        const __m256 b = _mm256_mul_ps(_mm256_cvtepi32_ps(y), map.contractionY);
        __m128i xLow, yLow, xHigh, yHigh;
        rotateAndTranslate(map, 0, _mm256_castps256_ps128(a), _mm256_castps256_ps128(b), xLow, yLow);
        rotateAndTranslate(map, 1, _mm256_extractf128_ps(a, 1), _mm256_extractf128_ps(b, 1), xHigh, yHigh);
        // The low 16 bits, as the scalar conversion to qint16 keeps them.
        x = _mm256_srai_epi32(_mm256_slli_epi32(_mm256_set_m128i(xHigh, xLow), 16), 16);
        y = _mm256_srai_epi32(_mm256_slli_epi32(_mm256_set_m128i(yHigh, yLow), 16), 16);
    }
};

// Eight chains in the eight lanes, a tile of steps at a time: first the
// maps of the tile's iterations are laid out lane by lane, then the lanes
// step, keeping each plotted point in the tile, and last the points go to
// their iterations. A lane whose chain has ended is held where it stands.
template<typename Maps>
VORLANE_AVX2 void stepEight(const Maps &maps, const quint8 *transformations, Chain *chains, CanvasPoint *points)
{
    constexpr qint32 tile = 64;
    alignas(32) std::array<qint32, lanes> begin;
    alignas(32) std::array<qint32, lanes> length;
    alignas(32) std::array<qint32, lanes> xs;
    alignas(32) std::array<qint32, lanes> ys;
    alignas(32) quint8 tileMaps[tile][lanes];
    alignas(32) quint32 plotted[tile][lanes];
    for (int l = 0; l < lanes; ++l) {
        begin[l] = chains[l].begin;
        length[l] = chains[l].end - chains[l].begin;
        xs[l] = chains[l].point.x;
        ys[l] = chains[l].point.y;
    }
    const qint32 longest = *std::max_element(length.begin(), length.end());
    const __m256i lengths = _mm256_load_si256(reinterpret_cast<const __m256i *>(length.data()));
    __m256i x = _mm256_load_si256(reinterpret_cast<const __m256i *>(xs.data()));
    __m256i y = _mm256_load_si256(reinterpret_cast<const __m256i *>(ys.data()));
    for (qint32 first = 0; first < longest; first += tile) {
        const qint32 steps = std::min(tile, longest - first);
        for (int l = 0; l < lanes; ++l) {
            const qint32 moving = std::clamp(length[l] - first, 0, steps);
            for (qint32 s = 0; s < moving; ++s)
                tileMaps[s][l] = transformations[begin[l] + first + s];
            for (qint32 s = moving; s < steps; ++s)
                tileMaps[s][l] = 0;
        }
        for (qint32 s = 0; s < steps; ++s) {
            const __m256i packed = _mm256_or_si256(_mm256_and_si256(x, _mm256_set1_epi32(0xffff)),
                                                   _mm256_slli_epi32(y, 16));
            _mm256_store_si256(reinterpret_cast<__m256i *>(plotted[s]), packed);
            const __m256i k = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(tileMaps[s])));
            __m256i movedX = x;
            __m256i movedY = y;
            LaneMaths::apply(maps.lookUp(k), movedX, movedY);
            const __m256i moving = _mm256_cmpgt_epi32(lengths, _mm256_set1_epi32(first + s));
            x = _mm256_blendv_epi8(x, movedX, moving);
            y = _mm256_blendv_epi8(y, movedY, moving);
        }
        for (int l = 0; l < lanes; ++l) {
            const qint32 moving = std::clamp(length[l] - first, 0, steps);
            for (qint32 s = 0; s < moving; ++s)
                std::memcpy(&points[begin[l] + first + s], &plotted[s][l], sizeof(CanvasPoint));
        }
    }
    _mm256_store_si256(reinterpret_cast<__m256i *>(xs.data()), x);
    _mm256_store_si256(reinterpret_cast<__m256i *>(ys.data()), y);
    for (int l = 0; l < lanes; ++l)
        chains[l].point = {qint16(xs[l]), qint16(ys[l])};
}

template<typename Maps>
VORLANE_AVX2 void stepInEights(const Maps &maps, const quint8 *transformations, Chain *chains, std::size_t count,
                               CanvasPoint *points)
{
    std::size_t c = 0;
    for (; c + lanes <= count; c += lanes)
        stepEight(maps, transformations, chains + c, points);
    if (c == count)
        return;
    // The last few with chains of no iterations beside them.
    std::array<Chain, lanes> last{};
    std::copy(chains + c, chains + count, last.begin());
    stepEight(maps, transformations, last.data(), points);
    std::copy_n(last.begin(), count - c, chains + c);
}

VORLANE_AVX2 void stepChainsInLanes(const SteppingMaps &maps, const quint8 *transformations, Chain *chains,
                                    std::size_t count, CanvasPoint *points)
{
    if (maps.count <= RegisterMaps<1>::capacity)
        stepInEights(RegisterMaps<1>(maps), transformations, chains, count, points);
    else if (maps.count <= RegisterMaps<2>::capacity)
        stepInEights(RegisterMaps<2>(maps), transformations, chains, count, points);
    else
        stepInEights(GatheredMaps(maps), transformations, chains, count, points);
}

// The maps eight numbers choose, with the choice carried over from the
// numbers before: a number that chooses map k gets the key (its place + 1)
// × 256 + k, one that chooses none 0, and the largest key so far is the
// choice in force. Returns the keys, carry broadcast from the last.
VORLANE_AVX2 __m256i carriedChoices(__m256i below, __m256i places, __m256i &carry)
{
    const __m256i chooses = _mm256_cmpgt_epi32(below, _mm256_setzero_si256());
    __m256i keys = _mm256_and_si256(chooses, _mm256_or_si256(_mm256_slli_epi32(places, 8), below));
    // The largest key up to each lane: within each half, then across them.
    keys = _mm256_max_epi32(keys, _mm256_slli_si256(keys, 4));
    keys = _mm256_max_epi32(keys, _mm256_slli_si256(keys, 8));
    const __m256i lowHalfLast = _mm256_permutevar8x32_epi32(keys, _mm256_setr_epi32(0, 0, 0, 0, 3, 3, 3, 3));
    keys = _mm256_max_epi32(keys, _mm256_blend_epi32(_mm256_setzero_si256(), lowHalfLast, 0xf0));
    keys = _mm256_max_epi32(keys, carry);
    carry = _mm256_permutevar8x32_epi32(keys, _mm256_set1_epi32(lanes - 1));
    return keys;
}

VORLANE_AVX2 int chooseMapsInLanes(const float *cumulativeWeights, int trCount, const float *numbers,
                                   quint8 *chosen, std::size_t count, int selected)
{
    const __m256d total = _mm256_set1_pd(double(cumulativeWeights[trCount]));
    __m256i carry = _mm256_set1_epi32(selected);
    __m256i places = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8);
    // The low byte of each key, the map, packed into the low 8 bytes.
    const __m256i lowBytes = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8,
                                              12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const __m256 drawn = _mm256_loadu_ps(numbers + i);
        const __m128 low = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(drawn)), total));
        const __m128 high = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(drawn, 1)), total));
        const __m256 r = _mm256_set_m128(high, low);
        __m256i below = _mm256_setzero_si256();
        // A true comparison is all ones, -1: subtracting it counts.
        for (int j = 0; j < trCount; ++j)
            below = _mm256_sub_epi32(below, _mm256_castps_si256(_mm256_cmp_ps(_mm256_set1_ps(cumulativeWeights[j]),
                                                                              r, _CMP_LT_OQ)));
        const __m256i maps = _mm256_shuffle_epi8(carriedChoices(below, places, carry), lowBytes);
        const __m256i packed = _mm256_permutevar8x32_epi32(maps, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(chosen + i), _mm256_castsi256_si128(packed));
        places = _mm256_add_epi32(places, _mm256_set1_epi32(lanes));
    }
    selected = _mm256_cvtsi256_si32(carry) & 0xff;
    return chooseMapsScalar(cumulativeWeights, trCount, numbers + i, chosen + i, count - i, selected);
}

// Unsigned 32-bit numbers divided by 30, rounding down: the high part of
// the product with 0x88888889 shifted by 4 more, exact for every such number
// (the multiplier's error, 14 / 2^36, stays below 1 / 2^32).
VORLANE_AVX2 __m256i dividedBy30(__m256i n)
{
    const __m256i multiplier = _mm256_set1_epi64x(0x88888889);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(n, multiplier), 36);
    const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(n, 32), multiplier), 4);
    return _mm256_or_si256(even, _mm256_and_si256(odd, _mm256_set1_epi64x(qint64(0xffffffff00000000ULL))));
}

// The offsets of pixelOffsets eight points at a time; returns how many
// points it placed, the rest being fewer than eight.
VORLANE_AVX2 qint32 pixelOffsetsInLanes(qint32 columnBase, qint32 rowBase, qint32 offsetPixels,
                                        const CanvasPoint *points, qint32 count, qint32 width, qint32 height,
                                        qint32 stride, qint32 *offsets)
{
    const __m256i columnBases = _mm256_set1_epi32(columnBase);
    const __m256i rowBases = _mm256_set1_epi32(rowBase);
    const __m256i shifts = _mm256_set1_epi32(offsetPixels);
    const __m256i widths = _mm256_set1_epi32(width);
    const __m256i heights = _mm256_set1_epi32(height);
    const __m256i strides = _mm256_set1_epi32(stride);
    const __m256i none = _mm256_set1_epi32(-1);
    qint32 n = 0;
    for (; n + lanes <= count; n += lanes) {
        const __m256i both = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(points + n));
        const __m256i x = _mm256_srai_epi32(_mm256_slli_epi32(both, 16), 16);
        const __m256i y = _mm256_srai_epi32(both, 16);
        const __m256i column =
            _mm256_sub_epi32(dividedBy30(_mm256_add_epi32(columnBases, _mm256_add_epi32(x, x))), shifts);
        const __m256i row = _mm256_sub_epi32(dividedBy30(_mm256_sub_epi32(rowBases, _mm256_add_epi32(y, y))), shifts);
        const __m256i inside = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(column, none), _mm256_cmpgt_epi32(widths, column)),
            _mm256_and_si256(_mm256_cmpgt_epi32(row, none), _mm256_cmpgt_epi32(heights, row)));
        const __m256i offset = _mm256_add_epi32(_mm256_mullo_epi32(row, strides), column);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(offsets + n), _mm256_blendv_epi8(none, offset, inside));
    }
    return n;
}

#else

// Without AVX2 the lanes are the scalar code.
constexpr auto stepChainsInLanes = stepChainsScalar;
constexpr auto chooseMapsInLanes = chooseMapsScalar;

#endif

} // namespace

ChainStepping fastestChainStepping()
{
#if VORLANE_AVX2_LANES
    static const bool hasLanes = __builtin_cpu_supports("avx2");
    if (hasLanes)
        return ChainStepping::Lanes;
#endif
    return ChainStepping::Scalar;
}

using exact::lanesOrScalar;

SteppingMaps::SteppingMaps(const PreparedMaps<CanvasArithmetic> &maps)
    : count(maps.count() + 1)
{
    for (int k = 0; k < count; ++k) {
        const CanvasArithmetic::Map &map = maps.map(k);
        contractionX[k] = map.contractionX;
        contractionY[k] = map.contractionY;
        cosTheta[k] = map.cosTheta;
        sinTheta[k] = map.sinTheta;
        translationX[k] = map.translationX;
        translationY[k] = map.translationY;
    }
    basePoints.reserve(std::size_t(maps.basePointCount()));
    for (int number = 1; number <= maps.basePointCount(); ++number)
        basePoints.push_back(maps.basePoint(number));
}

CanvasPoint applyMap(const SteppingMaps &maps, int k, CanvasPoint point)
{
    return CanvasArithmetic::apply({maps.contractionX[k], maps.contractionY[k], maps.cosTheta[k], maps.sinTheta[k],
                                    maps.translationX[k], maps.translationY[k]},
                                   point);
}

void stepChains(ChainStepping stepping, const SteppingMaps &maps, const quint8 *transformations, Chain *chains,
                std::size_t count, CanvasPoint *points)
{
    lanesOrScalar(stepping, stepChainsInLanes, stepChainsScalar)(maps, transformations, chains, count, points);
}

void pixelOffsets(ChainStepping stepping, const ViewTransform &view, const CanvasPoint *points, qint32 count,
                  qint32 width, qint32 height, qint32 stride, qint32 *offsets)
{
    qint32 n = 0;
#if VORLANE_AVX2_LANES
    if (lanesOrScalar(stepping, true, false))
        n = pixelOffsetsInLanes(view.columnBase(), view.rowBase(), ViewTransform::offsetPixels, points, count, width,
                                height, stride, offsets);
#endif
    for (; n < count; ++n) {
        // A negative position turns into a large unsigned one: off the canvas too.
        const quint32 column = quint32(view.column(points[n].x));
        const quint32 row = quint32(view.row(points[n].y));
        offsets[n] = column < quint32(width) && row < quint32(height) ? qint32(row) * stride + qint32(column) : -1;
    }
}

int chooseMaps(ChainStepping stepping, const float *cumulativeWeights, int trCount, const float *numbers,
               quint8 *chosen, std::size_t count, int selected)
{
    return lanesOrScalar(stepping, chooseMapsInLanes, chooseMapsScalar)(cumulativeWeights, trCount, numbers, chosen,
                                                                       count, selected);
}

} // namespace Vorlane
