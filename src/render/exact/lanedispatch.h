#pragma once

// What the exact renderer's vector-lane code shares: whether this build can
// have lanes at all, the attribute that compiles a function for them, and
// the choice between a lane function and its plain twin at run time.
#include "render/exact/chainlanes.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define VORLANE_AVX2_LANES 1
#define VORLANE_AVX2 __attribute__((target("avx2")))
#include <immintrin.h>
#endif

namespace Vorlane::exact {

// The lanes' code when asked for and the processor has lanes, else the scalar code.
template<typename Function>
Function lanesOrScalar(ChainStepping stepping, Function lanes, Function scalar)
{
    return stepping == ChainStepping::Lanes && fastestChainStepping() == ChainStepping::Lanes ? lanes : scalar;
}

} // namespace Vorlane::exact
