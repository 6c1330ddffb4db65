#include "common/carryless.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VORLANE_CARRYLESS_INSTRUCTION 1
#include <immintrin.h>
#endif

namespace Vorlane {

namespace {

// Two halves of a product of up to 128 bits.
struct WidePart
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
};

WidePart shiftedUp(WidePart value, unsigned shift)
{
    if (shift == 0)
        return value;
    return {value.low << shift, (value.high << shift) | (value.low >> (64 - shift))};
}

#if VORLANE_CARRYLESS_INSTRUCTION
// Two factor words per step: the second product overlaps the first by a word,
// and its top word is carried into the next step.
__attribute__((target("pclmul,sse2"))) void addProductByInstruction(std::uint64_t *out, const std::uint64_t *factor,
                                                                    std::size_t count, std::uint64_t multiplier)
{
    const __m128i wide = _mm_cvtsi64_si128(static_cast<long long>(multiplier));
    __m128i carried = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i *>(factor + i));
        const __m128i first = _mm_clmulepi64_si128(pair, wide, 0x00);
        const __m128i second = _mm_clmulepi64_si128(pair, wide, 0x01);
        __m128i *target = reinterpret_cast<__m128i *>(out + i);
        const __m128i sum = _mm_xor_si128(_mm_xor_si128(first, _mm_slli_si128(second, 8)), carried);
        _mm_storeu_si128(target, _mm_xor_si128(_mm_loadu_si128(target), sum));
        carried = _mm_srli_si128(second, 8);
    }
    if (i < count) {
        const __m128i last = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(factor[i])), wide, 0x00);
        carried = _mm_xor_si128(carried, last);
        __m128i *target = reinterpret_cast<__m128i *>(out + i);
        _mm_storeu_si128(target, _mm_xor_si128(_mm_loadu_si128(target), carried));
    } else {
        out[i] ^= static_cast<std::uint64_t>(_mm_cvtsi128_si64(carried));
    }
}

bool hasCarrylessInstruction()
{
    static const bool has = __builtin_cpu_supports("pclmul");
    return has;
}
#endif

} // namespace

void addCarrylessProductByShifts(std::uint64_t *out, const std::uint64_t *factor, std::size_t count,
                                 std::uint64_t multiplier)
{
    // The multiplier times every four-bit number, so that a factor word is
    // taken four bits at a time.
    WidePart multiples[16];
    for (unsigned k = 1; k < 16; ++k) {
        multiples[k] = shiftedUp(multiples[k >> 1], 1);
        if (k & 1)
            multiples[k].low ^= multiplier;
    }
    for (std::size_t i = 0; i < count; ++i) {
        WidePart product;
        for (unsigned shift = 0; shift < 64; shift += 4) {
            const WidePart part = shiftedUp(multiples[(factor[i] >> shift) & 15], shift);
            product.low ^= part.low;
            product.high ^= part.high;
        }
        out[i] ^= product.low;
        out[i + 1] ^= product.high;
    }
}

void addCarrylessProduct(std::uint64_t *out, const std::uint64_t *factor, std::size_t count,
                         std::uint64_t multiplier)
{
#if VORLANE_CARRYLESS_INSTRUCTION
    if (hasCarrylessInstruction()) {
        addProductByInstruction(out, factor, count, multiplier);
        return;
    }
#endif
    addCarrylessProductByShifts(out, factor, count, multiplier);
}

} // namespace Vorlane
