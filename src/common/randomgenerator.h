#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vorlane {

// The program's one source of random numbers. It starts from the same seed in
// every run and is never reseeded, so the same actions after start-up give the
// same pictures, bit for bit, on any machine.
//
// The engine is MT19937, number for number the sequence of std::mt19937 (which
// the standard fixes completely); no distribution class, whose algorithm
// varies between libraries, is used. It is written out here because the
// library's twist picks the magic constant with a branch that the processor
// mispredicts half the time, and because a renderer working on several threads
// has to skip ahead in the sequence.
class RandomGenerator
{
public:
    static constexpr std::uint32_t defaultSeed = 5489;

    explicit RandomGenerator(std::uint32_t seed = defaultSeed)
    {
        m_state[0] = seed;
        for (std::uint32_t i = 1; i < stateSize; ++i)
            m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + i;
        m_index = stateSize;
    }

    // The engine's next 32-bit output.
    std::uint32_t nextWord()
    {
        if (m_index == stateSize)
            twist();
        return tempered(m_state[m_index++]);
    }

    // Rnd: uniform in [0, 1) with 24-bit resolution, exact as a 32-bit float.
    float next()
    {
        return unitFloat(nextWord());
    }

    // The next count numbers of next() at once, into numbers: the tempering
    // of four words at a time in vector registers costs a fraction of the
    // calls it replaces.
    void fill(float *numbers, std::size_t count)
    {
        while (count > 0) {
            if (m_index == stateSize)
                twist();
            const std::size_t left = stateSize - m_index;
            const std::size_t taken = count < left ? count : left;
            temperInto(m_state.data() + m_index, numbers, taken);
            m_index += static_cast<std::uint32_t>(taken);
            numbers += taken;
            count -= taken;
        }
    }

    // Skips count outputs, as count calls of nextWord() would. A short skip
    // does the twists alone, none of the tempering, well under a nanosecond
    // per number; from jumpThreshold numbers on, the state is computed
    // straight from the count, in a few milliseconds however far it goes
    // (the first such jump of a program run also works out the polynomial
    // it needs, some 40 ms more).
    void discard(std::uint64_t count)
    {
        if (count >= jumpThreshold) {
            jumpAhead(count);
            return;
        }
        while (count > 0) {
            if (m_index == stateSize)
                twist();
            const std::uint64_t left = stateSize - m_index;
            const std::uint64_t skipped = count < left ? count : left;
            m_index += static_cast<std::uint32_t>(skipped);
            count -= skipped;
        }
    }

    // Below this many numbers the twists skip faster than a jump (measured
    // on a processor with carry-less multiplication; without it a jump takes
    // some 30 ms, and the twists stay quicker for longer).
    static constexpr std::uint64_t jumpThreshold = 7'000'000;

    bool operator==(const RandomGenerator &) const = default;

    // The step from one 624 words of state to the next, in place: in AVX2
    // lanes where the processor has them, else plainly. Each form is here
    // so that it can be checked against the other.
    static void twistWords(std::uint32_t *words);
    static void twistWordsPlainly(std::uint32_t *words);
    static bool hasTwistLanes();
    static void twistWordsInLanes(std::uint32_t *words); // only where hasTwistLanes()

    // Words of state, and how far on the partner of a word lies.
    static constexpr std::uint32_t stateSize = 624;
    static constexpr std::uint32_t shift = 397;

private:
    static std::uint32_t tempered(std::uint32_t y)
    {
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        return y ^ (y >> 18);
    }

    static float unitFloat(std::uint32_t word) { return static_cast<float>(word >> 8) * (1.0f / 16777216.0f); }

    static void temperInto(const std::uint32_t *words, float *numbers, std::size_t count)
    {
        std::size_t i = 0;
#if defined(__SSE2__)
        // The same steps on four words; a 24-bit value converts to float exactly.
        for (; i + 4 <= count; i += 4) {
            __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(words + i));
            y = _mm_xor_si128(y, _mm_srli_epi32(y, 11));
            y = _mm_xor_si128(y, _mm_and_si128(_mm_slli_epi32(y, 7), _mm_set1_epi32(int(0x9d2c5680u))));
            y = _mm_xor_si128(y, _mm_and_si128(_mm_slli_epi32(y, 15), _mm_set1_epi32(int(0xefc60000u))));
            y = _mm_srli_epi32(_mm_xor_si128(y, _mm_srli_epi32(y, 18)), 8);
            _mm_storeu_ps(numbers + i, _mm_mul_ps(_mm_cvtepi32_ps(y), _mm_set1_ps(1.0f / 16777216.0f)));
        }
#endif
        for (; i < count; ++i)
            numbers[i] = unitFloat(tempered(words[i]));
    }

    // The next 624 words at once.
    void twist()
    {
        twistWords(m_state.data());
        m_index = 0;
    }

    void jumpAhead(std::uint64_t count);
    void stepWords(const std::vector<std::uint64_t> &polynomial);

    std::array<std::uint32_t, stateSize> m_state;
    std::uint32_t m_index;
};

} // namespace Vorlane
