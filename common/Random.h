// The linear congruential generator both programs draw from: seed := seed * 134775813 + 1 (mod 2^32),
// random(n) := upper 32 bits of n * seed. The seed starts at 0 and is never reseeded, so every run
// of a program draws the same sequence.
#pragma once

#include <cstdint>

namespace lumo {

class Random {
public:
    // A number from 0 to n - 1; 0 when n is 0.
    std::uint32_t next(std::uint32_t n)
    {
        m_seed = m_seed * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * m_seed) >> 32);
    }

    std::uint32_t seed() const { return m_seed; }

private:
    std::uint32_t m_seed = 0;
};

// The one generator of this process.
Random& processRandom();

} // namespace lumo
