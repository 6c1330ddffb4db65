#pragma once

#include <cstddef>
#include <cstdint>

namespace Vorlane {

// Products of polynomials over GF(2), each held as the bits of 64-bit words,
// lowest power first: the arithmetic of the random generator's jump ahead.

// out[0 .. count] ^= factor[0 .. count − 1] × multiplier, with the
// processor's carry-less multiplication where it has one. out holds
// count + 1 words.
void addCarrylessProduct(std::uint64_t *out, const std::uint64_t *factor, std::size_t count,
                         std::uint64_t multiplier);

// The same with shifts and a table alone, on any processor.
void addCarrylessProductByShifts(std::uint64_t *out, const std::uint64_t *factor, std::size_t count,
                                 std::uint64_t multiplier);

} // namespace Vorlane
