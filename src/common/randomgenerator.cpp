// The jump ahead of the random generator. Its step is linear over GF(2), so
// the state n steps on is P_n(step) applied to the state, where P_n is x^n
// modulo the step's characteristic polynomial: a few dozen squarings of
// polynomials and one pass of 19937 steps, whatever n.
#include "common/randomgenerator.h"

#include "common/carryless.h"

#include <algorithm>
#include <bit>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#define VORLANE_TWIST_LANES 1
#include <immintrin.h>
#endif

namespace Vorlane {

namespace {

using Polynomial = std::vector<std::uint64_t>;

// The characteristic polynomial's degree: the generator's 624 words hold
// 19937 bits of state, the low 31 bits of the oldest word being dropped by
// the next step.
constexpr std::size_t degree = 19937;
constexpr std::size_t residueWords = degree / 64 + 1;

bool bitOf(const Polynomial &polynomial, std::size_t position)
{
    return (polynomial[position / 64] >> (position % 64)) & 1;
}

void setBit(Polynomial &polynomial, std::size_t position)
{
    polynomial[position / 64] |= std::uint64_t(1) << (position % 64);
}

// The 64 bits from position on; bits past the end read as 0.
std::uint64_t wordAt(const Polynomial &polynomial, std::size_t position)
{
    const std::size_t index = position / 64;
    const unsigned shift = position % 64;
    const std::uint64_t low = index < polynomial.size() ? polynomial[index] : 0;
    const std::uint64_t high = index + 1 < polynomial.size() ? polynomial[index + 1] : 0;
    return shift == 0 ? low : (low >> shift) | (high << (64 - shift));
}

// target += source × x^shift, as far as target reaches.
void addShifted(Polynomial &target, const Polynomial &source, std::size_t shift)
{
    const std::size_t offset = shift / 64;
    const unsigned bits = shift % 64;
    for (std::size_t i = 0; i < source.size() && i + offset < target.size(); ++i) {
        target[i + offset] ^= source[i] << bits;
        if (bits != 0 && i + offset + 1 < target.size())
            target[i + offset + 1] ^= source[i] >> (64 - bits);
    }
}

// source divided by x^shift, in words words.
Polynomial shiftedDown(const Polynomial &source, std::size_t shift, std::size_t words)
{
    Polynomial result(words);
    for (std::size_t i = 0; i < words; ++i)
        result[i] = wordAt(source, shift + 64 * i);
    return result;
}

// The words from to to − 1 of a × b; the other words are left incomplete,
// so that a reduction pays only for the half it needs.
Polynomial productWords(const Polynomial &a, const Polynomial &b, std::size_t from, std::size_t to)
{
    Polynomial product(a.size() + b.size() + 1);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::size_t first = from > i + 1 ? from - i - 1 : 0;
        const std::size_t last = std::min(b.size(), to > i ? to - i : 0);
        if (first < last)
            addCarrylessProduct(product.data() + i + first, b.data() + first, last - first, a[i]);
    }
    return product;
}

// A square over GF(2) has the bits of the polynomial spread to the even powers.
std::uint64_t spread(std::uint32_t half)
{
    std::uint64_t x = half;
    x = (x | (x << 16)) & 0x0000ffff0000ffffu;
    x = (x | (x << 8)) & 0x00ff00ff00ff00ffu;
    x = (x | (x << 4)) & 0x0f0f0f0f0f0f0f0fu;
    x = (x | (x << 2)) & 0x3333333333333333u;
    return (x | (x << 1)) & 0x5555555555555555u;
}

Polynomial squared(const Polynomial &polynomial)
{
    Polynomial square(2 * polynomial.size());
    for (std::size_t i = 0; i < polynomial.size(); ++i) {
        square[2 * i] = spread(std::uint32_t(polynomial[i]));
        square[2 * i + 1] = spread(std::uint32_t(polynomial[i] >> 32));
    }
    return square;
}

// The step's characteristic polynomial, as the shortest linear recurrence of
// one output bit (Berlekamp and Massey over twice the degree of bits): the
// polynomial is primitive, so the bits of any state show all of it.
Polynomial characteristicPolynomial()
{
    constexpr std::size_t length = 2 * degree;
    // The bits last first, so that those a recurrence combines lie side by
    // side in words wherever it stands.
    Polynomial reversed(length / 64 + 1);
    RandomGenerator generator;
    // The first word is the seed's oldest, whose low bits no step reads.
    generator.discard(1);
    for (std::size_t t = 0; t < length; ++t) {
        if (generator.nextWord() & 1)
            setBit(reversed, length - 1 - t);
    }
    Polynomial connection(residueWords + 1);
    Polynomial previous(residueWords + 1);
    connection[0] = previous[0] = 1;
    std::size_t order = 0;
    std::size_t gap = 1;
    for (std::size_t k = 0; k < length; ++k) {
        std::uint64_t discrepancy = 0;
        for (std::size_t i = 0; i <= order / 64; ++i)
            discrepancy ^= connection[i] & wordAt(reversed, length - 1 - k + 64 * i);
        if (std::popcount(discrepancy) % 2 == 0) {
            ++gap;
        } else if (2 * order <= k) {
            const Polynomial before = connection;
            addShifted(connection, previous, gap);
            order = k + 1 - order;
            previous = before;
            gap = 1;
        } else {
            addShifted(connection, previous, gap);
            ++gap;
        }
    }
    // The recurrence's connection polynomial, read backwards.
    Polynomial characteristic(residueWords);
    for (std::size_t j = 0; j <= order; ++j) {
        if (bitOf(connection, order - j))
            setBit(characteristic, j);
    }
    return characteristic;
}

// floor(x^(2 × degree) / modulus), by long division.
Polynomial quotientOfSquare(const Polynomial &modulus)
{
    Polynomial remainder(2 * residueWords);
    setBit(remainder, 2 * degree);
    Polynomial quotient(residueWords);
    for (std::size_t position = 2 * degree + 1; position-- > degree;) {
        if (bitOf(remainder, position)) {
            setBit(quotient, position - degree);
            addShifted(remainder, modulus, position - degree);
        }
    }
    return quotient;
}

// Residues modulo the characteristic polynomial, reduced the way Barrett
// does: two half products instead of a division.
class Residues
{
public:
    Residues() : m_modulus(characteristicPolynomial()), m_inverse(quotientOfSquare(m_modulus)) {}

    // x^power modulo the polynomial, by squaring.
    Polynomial powerOfX(std::uint64_t power) const
    {
        // The leading bits of power that make an exponent below the degree
        // give their power at once.
        int position = std::bit_width(power);
        std::uint64_t leading = 0;
        while (position > 0 && ((leading << 1) | ((power >> (position - 1)) & 1)) < degree)
            leading = (leading << 1) | ((power >> --position) & 1);
        Polynomial residue(residueWords);
        setBit(residue, leading);
        while (position > 0) {
            residue = reduced(squared(residue));
            if ((power >> --position) & 1)
                multiplyByX(residue);
        }
        return residue;
    }

private:
    // value modulo the polynomial, for value of degree below 2 × degree.
    Polynomial reduced(const Polynomial &value) const
    {
        const Polynomial high = shiftedDown(value, degree, residueWords);
        const Polynomial quotient = shiftedDown(
            productWords(high, m_inverse, degree / 64, 2 * residueWords), degree, residueWords);
        const Polynomial multiple = productWords(quotient, m_modulus, 0, residueWords);
        Polynomial remainder(residueWords);
        for (std::size_t i = 0; i < residueWords; ++i)
            remainder[i] = value[i] ^ multiple[i];
        return remainder;
    }

    void multiplyByX(Polynomial &residue) const
    {
        for (std::size_t i = residueWords; i-- > 1;)
            residue[i] = (residue[i] << 1) | (residue[i - 1] >> 63);
        residue[0] <<= 1;
        if (bitOf(residue, degree)) {
            for (std::size_t i = 0; i < residueWords; ++i)
                residue[i] ^= m_modulus[i];
        }
    }

    Polynomial m_modulus;
    // floor(x^(2 × degree) / m_modulus)
    Polynomial m_inverse;
};

const Residues &residues()
{
    static const Residues shared;
    return shared;
}

// The next value of upper, from the word after it, lower, and its partner far.
std::uint32_t twisted(std::uint32_t upper, std::uint32_t lower, std::uint32_t far)
{
    const std::uint32_t y = (upper & 0x80000000u) | (lower & 0x7fffffffu);
    // All ones when the low bit is set: the constant is taken by a mask.
    const std::uint32_t odd = 0u - (y & 1u);
    return far ^ (y >> 1) ^ (odd & 0x9908b0dfu);
}

// Words from to to − 1, each with the partner far words on; far wraps
// around the 32-bit range, so that a run can also look back.
void twistRun(std::uint32_t *words, std::uint32_t from, std::uint32_t to, std::uint32_t far)
{
    for (std::uint32_t i = from; i < to; ++i)
        words[i] = twisted(words[i], words[i + 1], words[i + far]);
}

// The last word's partners are the first words, already twisted.
void twistLastWord(std::uint32_t *words)
{
    constexpr std::uint32_t last = RandomGenerator::stateSize - 1;
    words[last] = twisted(words[last], words[0], words[RandomGenerator::shift - 1]);
}

#if VORLANE_TWIST_LANES
// twistRun eight words at a time. A run reads words it has not rewritten
// yet, or words rewritten 227 words before, never one of its own group.
__attribute__((target("avx2"))) void twistRunInLanes(std::uint32_t *words, std::uint32_t from, std::uint32_t to,
                                                     std::uint32_t far)
{
    const __m256i upperBit = _mm256_set1_epi32(int(0x80000000u));
    const __m256i constant = _mm256_set1_epi32(int(0x9908b0dfu));
    const __m256i one = _mm256_set1_epi32(1);
    std::uint32_t i = from;
    for (; i + 8 <= to; i += 8) {
        const __m256i upper = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(words + i));
        const __m256i lower = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(words + i + 1));
        const __m256i partner = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(words + (i + far)));
        const __m256i y = _mm256_or_si256(_mm256_and_si256(upper, upperBit), _mm256_andnot_si256(upperBit, lower));
        const __m256i odd = _mm256_cmpeq_epi32(_mm256_and_si256(y, one), one);
        const __m256i next =
            _mm256_xor_si256(_mm256_xor_si256(partner, _mm256_srli_epi32(y, 1)), _mm256_and_si256(odd, constant));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(words + i), next);
    }
    twistRun(words, i, to, far);
}
#endif

} // namespace

// The words in m_state are those the next twist starts from, whatever
// m_index; each twist moves them on by 624 steps of one word. The jump goes
// to the last twist but one, so that the ordinary twist rewrites the oldest
// word's low bits, which the jump leaves undefined.
void RandomGenerator::jumpAhead(std::uint64_t count)
{
    const std::uint64_t last = count - 1;
    const std::uint64_t lastIndex = m_index + last % stateSize;
    const std::uint64_t twists = last / stateSize + lastIndex / stateSize;
    if (twists > 1)
        stepWords(residues().powerOfX((twists - 1) * stateSize));
    twist();
    m_index = static_cast<std::uint32_t>(lastIndex % stateSize) + 1;
}

// Horner's rule with the twist of one word as the variable: each step
// appends a word to a sequence whose last 624 words are the state.
void RandomGenerator::stepWords(const std::vector<std::uint64_t> &polynomial)
{
    std::size_t top = polynomial.size() * 64;
    while (top > 0 && !bitOf(polynomial, top - 1))
        --top;
    std::vector<std::uint32_t> sequence(stateSize + top);
    std::copy(m_state.begin(), m_state.end(), sequence.begin());
    std::uint32_t *window = sequence.data();
    for (std::size_t power = top - 1; power-- > 0; ++window) {
        window[stateSize] = twisted(window[0], window[1], window[shift]);
        if (bitOf(polynomial, power)) {
            for (std::uint32_t i = 0; i < stateSize; ++i)
                window[i + 1] ^= m_state[i];
        }
    }
    std::copy(window, window + stateSize, m_state.begin());
}

bool RandomGenerator::hasTwistLanes()
{
#if VORLANE_TWIST_LANES
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

void RandomGenerator::twistWords(std::uint32_t *words)
{
    if (hasTwistLanes())
        twistWordsInLanes(words);
    else
        twistWordsPlainly(words);
}

// In runs without wrap-around indices that the compiler keeps in vector
// registers. At -O2 it does so only for a loop with no words left over from
// groups of four, so the three odd words of the first run get a run of their
// own.
void RandomGenerator::twistWordsPlainly(std::uint32_t *words)
{
    constexpr std::uint32_t firstRun = stateSize - shift;
    constexpr std::uint32_t inGroups = firstRun / 4 * 4;
    twistRun(words, 0, inGroups, shift);
    twistRun(words, inGroups, firstRun, shift);
    twistRun(words, firstRun, stateSize - 1, shift - stateSize);
    twistLastWord(words);
}

void RandomGenerator::twistWordsInLanes([[maybe_unused]] std::uint32_t *words)
{
#if VORLANE_TWIST_LANES
    twistRunInLanes(words, 0, stateSize - shift, shift);
    twistRunInLanes(words, stateSize - shift, stateSize - 1, shift - stateSize);
    twistLastWord(words);
#endif
}

} // namespace Vorlane
