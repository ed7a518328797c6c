// Which play-list entries the editor's full-screen player loads at a tick of its change timer:
//   random:      a := random(n); when a is 0 and the previous draw was 0 too, one more draw decides;
//                entry a; the previous draw := a.
//   one by one:  position + 1, back to 0 past the last entry; that entry.
// With both set both run and the one-by-one entry is loaded last; with neither nothing changes.
// The movie shown at start counts as one-by-one position 0 and as previous draw 0.
#pragma once

#include "common/Random.h"

#include <cstdint>
#include <vector>

namespace lumo::playback {

class ScreenSequence {
public:
    explicit ScreenSequence(Random& random)
        : m_random(random)
    {
    }

    void restart()
    {
        m_previousDraw = 0;
        m_position = 0;
    }
    std::vector<std::uint32_t> next(std::uint32_t n, bool randomOrder, bool oneByOne);

private:
    Random& m_random;
    std::uint32_t m_previousDraw = 0;
    std::int64_t m_position = 0;
};

} // namespace lumo::playback
