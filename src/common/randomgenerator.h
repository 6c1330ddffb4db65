#pragma once

#include <cstdint>
#include <random>

namespace Vorlane {

// The program's one source of random numbers. It starts from the same seed in
// every run and is never reseeded, so the same actions after start-up give the
// same pictures, bit for bit, on any machine: std::mt19937 is fully specified
// by the standard, and no distribution class (whose algorithm varies between
// libraries) is used.
class RandomGenerator
{
public:
    static constexpr std::uint32_t defaultSeed = std::mt19937::default_seed; // 5489

    explicit RandomGenerator(std::uint32_t seed = defaultSeed)
        : m_engine(seed)
    {
    }

    // Rnd: uniform in [0, 1) with 24-bit resolution, exact as a 32-bit float.
    float next()
    {
        return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
    }

private:
    std::mt19937 m_engine;
};

} // namespace Vorlane
