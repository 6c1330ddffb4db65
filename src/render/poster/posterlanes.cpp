#include "render/poster/posterlanes.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#define VORLANE_POSTER_LANES 1
#include <immintrin.h>
#endif

namespace Vorlane {

namespace {

PlaneArithmetic::Point applyPlaneMap(const PlaneMaps &maps, int k, PlaneArithmetic::Point point)
{
    return PlaneArithmetic::apply({maps.a[k], maps.b[k], maps.c[k], maps.d[k], maps.e[k], maps.f[k]}, point);
}

// Four chains moved side by side: each restart begins a chain that owes
// nothing to the one before, so the processor overlaps their arithmetic.
void stepSideBySide(const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains, std::size_t count,
                    double *xs, double *ys)
{
    for (qint32 step = 0;; ++step) {
        bool moved = false;
        for (PlaneChain *chain = chains; chain != chains + count; ++chain) {
            const qint32 n = chain->begin + step;
            if (n >= chain->end)
                continue;
            xs[n] = chain->point.x;
            ys[n] = chain->point.y;
            chain->point = applyPlaneMap(maps, mapIndices[n], chain->point);
            moved = true;
        }
        if (!moved)
            return;
    }
}

void stepChainsScalar(const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains, std::size_t count,
                      double *xs, double *ys)
{
    constexpr std::size_t sideBySide = 4;
    for (std::size_t c = 0; c < count; c += sideBySide)
        stepSideBySide(maps, mapIndices, chains + c, std::min(sideBySide, count - c), xs, ys);
}

void countEntriesBelowScalar(const double *cumulativeWeights, int trCount, const float *numbers, quint8 *chosen,
                             std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        chosen[i] = quint8(entriesBelow(cumulativeWeights, trCount, numbers[i]));
}

#if VORLANE_POSTER_LANES

#define VORLANE_AVX2 __attribute__((target("avx2")))
#define VORLANE_AVX512 __attribute__((target("avx512f")))

// Lanes step a tile of iterations at a time: the maps of the tile are laid
// out step by step first, and the plotted points go to their iterations last.
constexpr qint32 tile = 64;

// Groups of lanes chains each stepped by stepGroup, the chains left over in
// plain code.
template<std::size_t lanes, typename StepGroup>
void stepInGroups(const StepGroup &stepGroup, const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains,
                  std::size_t count, double *xs, double *ys)
{
    std::size_t c = 0;
    for (; c + lanes <= count; c += lanes)
        stepGroup(chains + c);
    stepChainsScalar(maps, mapIndices, chains + c, count - c, xs, ys);
}

// The steps a lane's chain takes in the tile from its step first on.
qint32 movingSteps(const PlaneChain &chain, qint32 first, qint32 steps)
{
    return std::clamp(chain.end - chain.begin - first, 0, steps);
}

// What the lanes hold of their chains in memory: where each stands, how long
// it runs, and a tile's maps and plotted points, step by step, lane by lane.
template<int lanes>
struct LaneTiles
{
    explicit LaneTiles(PlaneChain *laneChains)
        : chains(laneChains)
    {
        for (int l = 0; l < lanes; ++l) {
            x[l] = chains[l].point.x;
            y[l] = chains[l].point.y;
            length[l] = chains[l].end - chains[l].begin;
            longest = std::max(longest, qint32(length[l]));
        }
    }

    // Lays out the maps of the tile from step first on, and returns its
    // steps; a lane whose chain has ended takes map 0, and what it gives is
    // dropped.
    qint32 layOut(const quint8 *mapIndices, qint32 first)
    {
        const qint32 steps = std::min(tile, longest - first);
        for (int l = 0; l < lanes; ++l) {
            const qint32 moving = movingSteps(chains[l], first, steps);
            for (qint32 s = 0; s < moving; ++s)
                maps[s * lanes + l] = mapIndices[chains[l].begin + first + s];
            for (qint32 s = moving; s < steps; ++s)
                maps[s * lanes + l] = 0;
        }
        return steps;
    }

    void putPlotted(qint32 first, qint32 steps, double *xs, double *ys) const
    {
        for (int l = 0; l < lanes; ++l) {
            const qint32 moving = movingSteps(chains[l], first, steps);
            const qint32 at = chains[l].begin + first;
            for (qint32 s = 0; s < moving; ++s) {
                xs[at + s] = plottedX[s * lanes + l];
                ys[at + s] = plottedY[s * lanes + l];
            }
        }
    }

    // The chains stand where x and y say.
    void moveChains() const
    {
        for (int l = 0; l < lanes; ++l)
            chains[l].point = {x[l], y[l]};
    }

    PlaneChain *chains;
    qint32 longest = 0;
    alignas(64) double x[lanes];
    alignas(64) double y[lanes];
    alignas(64) qint64 length[lanes];
    alignas(64) quint8 maps[tile * lanes];
    alignas(64) double plottedX[tile * lanes];
    alignas(64) double plottedY[tile * lanes];
};

// Every lane enabled: the unmasked forms start from an undefined register
// that the compiler warns about.
constexpr __mmask8 allLanes = 0xFF;

// The coefficients of eight lanes' maps.
struct EightMaps
{
    __m512d a, b, c, d, e, f;
};

// Up to 16 maps (index 0 included) picked from registers by permutation;
// more from memory by gathers.
class EightLaneLookUp
{
public:
    static constexpr int inRegisters = 16;

    VORLANE_AVX512 explicit EightLaneLookUp(const PlaneMaps &maps)
        : m_maps(maps)
        , m_inRegisters(maps.count <= inRegisters)
    {
        const std::array<const std::array<double, PlaneMaps::size> *, 6> values{&maps.a, &maps.b, &maps.c,
                                                                                 &maps.d, &maps.e, &maps.f};
        for (std::size_t v = 0; v < values.size(); ++v) {
            alignas(64) std::array<double, inRegisters> table{};
            std::copy_n(values[v]->begin(), inRegisters, table.begin());
            m_low[v] = _mm512_load_pd(table.data());
            m_high[v] = _mm512_load_pd(table.data() + 8);
        }
    }

    VORLANE_AVX512 EightMaps operator()(__m512i k) const
    {
        if (m_inRegisters)
            return {pick(0, k), pick(1, k), pick(2, k), pick(3, k), pick(4, k), pick(5, k)};
        return {gather(m_maps.a, k), gather(m_maps.b, k), gather(m_maps.c, k),
                gather(m_maps.d, k), gather(m_maps.e, k), gather(m_maps.f, k)};
    }

private:
    VORLANE_AVX512 __m512d pick(int v, __m512i k) const { return _mm512_permutex2var_pd(m_low[v], k, m_high[v]); }

    VORLANE_AVX512 static __m512d gather(const std::array<double, PlaneMaps::size> &values, __m512i k)
    {
        return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), allLanes, k, values.data(), 8);
    }

    const PlaneMaps &m_maps;
    bool m_inRegisters;
    __m512d m_low[6];
    __m512d m_high[6];
};

// Eight chains in the eight lanes; a lane whose chain has ended is held
// where it stands.
VORLANE_AVX512 void stepEight(const EightLaneLookUp &lookUp, const quint8 *mapIndices, PlaneChain *chains,
                              double *xs, double *ys)
{
    constexpr int lanes = 8;
    LaneTiles<lanes> tiles(chains);
    const __m512i lengths = _mm512_load_si512(tiles.length);
    __m512d x = _mm512_load_pd(tiles.x);
    __m512d y = _mm512_load_pd(tiles.y);
    for (qint32 first = 0; first < tiles.longest; first += tile) {
        const qint32 steps = tiles.layOut(mapIndices, first);
        for (qint32 s = 0; s < steps; ++s) {
            _mm512_store_pd(tiles.plottedX + s * lanes, x);
            _mm512_store_pd(tiles.plottedY + s * lanes, y);
            const EightMaps m = lookUp(_mm512_maskz_cvtepu8_epi64(
                allLanes, _mm_loadl_epi64(reinterpret_cast<const __m128i *>(tiles.maps + s * lanes))));
            // PlaneArithmetic::apply's operations in its order, none fused.
            const __m512d movedX = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(m.a, x), _mm512_mul_pd(m.b, y)), m.e);
            const __m512d movedY = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(m.c, x), _mm512_mul_pd(m.d, y)), m.f);
            const __mmask8 moving = _mm512_cmpgt_epi64_mask(lengths, _mm512_set1_epi64(first + s));
            x = _mm512_mask_mov_pd(x, moving, movedX);
            y = _mm512_mask_mov_pd(y, moving, movedY);
        }
        tiles.putPlotted(first, steps, xs, ys);
    }
    _mm512_store_pd(tiles.x, x);
    _mm512_store_pd(tiles.y, y);
    tiles.moveChains();
}

VORLANE_AVX512 void stepChainsInEightLanes(const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains,
                                           std::size_t count, double *xs, double *ys)
{
    const EightLaneLookUp lookUp(maps);
    stepInGroups<8>([&](PlaneChain *group) { stepEight(lookUp, mapIndices, group, xs, ys); }, maps, mapIndices,
                    chains, count, xs, ys);
}

// Every lane enabled, written out because the plain form starts from an
// undefined register that the compiler warns about.
VORLANE_AVX2 __m256d gather(const std::array<double, PlaneMaps::size> &values, __m128i k)
{
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), values.data(), k,
                                    _mm256_castsi256_pd(_mm256_set1_epi64x(-1)), 8);
}

// Four chains in AVX2's four lanes of doubles, the maps gathered from memory.
VORLANE_AVX2 void stepFour(const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains, double *xs,
                           double *ys)
{
    constexpr int lanes = 4;
    LaneTiles<lanes> tiles(chains);
    const __m256i lengths = _mm256_load_si256(reinterpret_cast<const __m256i *>(tiles.length));
    __m256d x = _mm256_load_pd(tiles.x);
    __m256d y = _mm256_load_pd(tiles.y);
    for (qint32 first = 0; first < tiles.longest; first += tile) {
        const qint32 steps = tiles.layOut(mapIndices, first);
        for (qint32 s = 0; s < steps; ++s) {
            _mm256_store_pd(tiles.plottedX + s * lanes, x);
            _mm256_store_pd(tiles.plottedY + s * lanes, y);
            const __m128i k =
                _mm_cvtepu8_epi32(_mm_cvtsi32_si128(*reinterpret_cast<const int *>(tiles.maps + s * lanes)));
            const __m256d movedX = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(gather(maps.a, k), x), _mm256_mul_pd(gather(maps.b, k), y)),
                gather(maps.e, k));
            const __m256d movedY = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(gather(maps.c, k), x), _mm256_mul_pd(gather(maps.d, k), y)),
                gather(maps.f, k));
            const __m256d moving =
                _mm256_castsi256_pd(_mm256_cmpgt_epi64(lengths, _mm256_set1_epi64x(first + s)));
            x = _mm256_blendv_pd(x, movedX, moving);
            y = _mm256_blendv_pd(y, movedY, moving);
        }
        tiles.putPlotted(first, steps, xs, ys);
    }
    _mm256_store_pd(tiles.x, x);
    _mm256_store_pd(tiles.y, y);
    tiles.moveChains();
}

VORLANE_AVX2 void stepChainsInFourLanes(const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains,
                                        std::size_t count, double *xs, double *ys)
{
    stepInGroups<4>([&](PlaneChain *group) { stepFour(maps, mapIndices, group, xs, ys); }, maps, mapIndices, chains,
                    count, xs, ys);
}

// entriesBelow's product and comparisons, eight numbers at a time; a true
// comparison's mask adds one to its lane.
VORLANE_AVX512 void countEntriesBelowInEightLanes(const double *cumulativeWeights, int trCount,
                                                  const float *numbers, quint8 *chosen, std::size_t count)
{
    const __m512d total = _mm512_set1_pd(cumulativeWeights[trCount]);
    const __m512i one = _mm512_set1_epi64(1);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m512d scaled = _mm512_mul_pd(_mm512_maskz_cvtps_pd(allLanes, _mm256_loadu_ps(numbers + i)), total);
        __m512i below = _mm512_setzero_si512();
        for (int j = 0; j < trCount; ++j) {
            const __mmask8 less = _mm512_cmp_pd_mask(_mm512_set1_pd(cumulativeWeights[j]), scaled, _CMP_LT_OQ);
            below = _mm512_mask_add_epi64(below, less, below, one);
        }
        _mm_storel_epi64(reinterpret_cast<__m128i *>(chosen + i),
                         _mm512_mask_cvtepi64_epi8(_mm_setzero_si128(), allLanes, below));
    }
    countEntriesBelowScalar(cumulativeWeights, trCount, numbers + i, chosen + i, count - i);
}

// The same four at a time: a true comparison is all ones, -1, and
// subtracting it counts.
VORLANE_AVX2 void countEntriesBelowInFourLanes(const double *cumulativeWeights, int trCount, const float *numbers,
                                               quint8 *chosen, std::size_t count)
{
    const __m256d total = _mm256_set1_pd(cumulativeWeights[trCount]);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d scaled = _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(numbers + i)), total);
        __m256i below = _mm256_setzero_si256();
        for (int j = 0; j < trCount; ++j)
            below = _mm256_sub_epi64(
                below, _mm256_castpd_si256(_mm256_cmp_pd(_mm256_set1_pd(cumulativeWeights[j]), scaled, _CMP_LT_OQ)));
        alignas(32) qint64 counts[4];
        _mm256_store_si256(reinterpret_cast<__m256i *>(counts), below);
        for (int l = 0; l < 4; ++l)
            chosen[i + std::size_t(l)] = quint8(counts[l]);
    }
    countEntriesBelowScalar(cumulativeWeights, trCount, numbers + i, chosen + i, count - i);
}

#endif

} // namespace

PlaneMaps::PlaneMaps(const PreparedMaps<PlaneArithmetic> &maps)
    : count(maps.count() + 1)
{
    for (int k = 0; k < count; ++k) {
        const PlaneArithmetic::Map &map = maps.map(k);
        a[k] = map.a;
        b[k] = map.b;
        c[k] = map.c;
        d[k] = map.d;
        e[k] = map.e;
        f[k] = map.f;
    }
}

PosterStepping fastestPosterStepping()
{
#if VORLANE_POSTER_LANES
    static const PosterStepping fastest = __builtin_cpu_supports("avx512f") ? PosterStepping::EightLanes
                                          : __builtin_cpu_supports("avx2")  ? PosterStepping::FourLanes
                                                                            : PosterStepping::Scalar;
    return fastest;
#else
    return PosterStepping::Scalar;
#endif
}

PosterStepping availablePosterStepping(PosterStepping stepping)
{
    return stepping <= fastestPosterStepping() ? stepping : PosterStepping::Scalar;
}

void stepPlaneChains(PosterStepping stepping, const PlaneMaps &maps, const quint8 *mapIndices, PlaneChain *chains,
                     std::size_t count, double *xs, double *ys)
{
    switch (availablePosterStepping(stepping)) {
#if VORLANE_POSTER_LANES
    case PosterStepping::EightLanes:
        return stepChainsInEightLanes(maps, mapIndices, chains, count, xs, ys);
    case PosterStepping::FourLanes:
        return stepChainsInFourLanes(maps, mapIndices, chains, count, xs, ys);
#endif
    default:
        return stepChainsScalar(maps, mapIndices, chains, count, xs, ys);
    }
}

void countPlaneEntriesBelow(PosterStepping stepping, const double *cumulativeWeights, int trCount,
                            const float *numbers, quint8 *chosen, std::size_t count)
{
    switch (availablePosterStepping(stepping)) {
#if VORLANE_POSTER_LANES
    case PosterStepping::EightLanes:
        return countEntriesBelowInEightLanes(cumulativeWeights, trCount, numbers, chosen, count);
    case PosterStepping::FourLanes:
        return countEntriesBelowInFourLanes(cumulativeWeights, trCount, numbers, chosen, count);
#endif
    default:
        return countEntriesBelowScalar(cumulativeWeights, trCount, numbers, chosen, count);
    }
}

} // namespace Vorlane
