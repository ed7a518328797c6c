// Which play-list entry the full-screen player loads at each change of movie.
//   "round": a := random(n); 0 < a <= n - 1 loads entry a; a = 0 loads entry 0, unless the last pick
//            was 0 too, when one more draw decides; the last pick := a.
//   "oneb":  position + 1, back to 0 after the last entry.
//   other:   nothing changes (the comparison is exact, letter case included).
// The movie shown at start is one-by-one position 0 but no random pick.
#pragma once

#include "common/Random.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lumo::player {

class PlaySequence {
public:
    explicit PlaySequence(Random& random)
        : m_random(random)
    {
    }

    void setMode(std::string mode) { m_mode = std::move(mode); }
    void restart() { m_position = 0; }
    // The entry to load at this tick of a list of n entries, or nullopt when the movie plays on.
    std::optional<std::uint32_t> next(std::uint32_t n);

private:
    Random& m_random;
    std::string m_mode;
    std::int32_t m_position = 0;
    std::int64_t m_lastPick = -1;
};

// The change timer's interval for parameter line 2: minutes x 60000 ms. 0 (or less) never fires; a
// longer wait than a timer can hold is held at the longest it can.
std::optional<std::uint32_t> changeIntervalMs(int minutes);

} // namespace lumo::player
