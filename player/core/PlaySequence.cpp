#include "PlaySequence.h"

#include <algorithm>

namespace lumo::player {

std::optional<std::uint32_t> PlaySequence::next(std::uint32_t n)
{
    if (m_mode == "round") {
        std::uint32_t a = m_random.next(n);
        std::uint32_t load = a;
        if (a == 0) {
            if (m_lastPick == 0) {
                a = m_random.next(n);
                load = a;
            } else {
                load = 0;
            }
        }
        m_lastPick = a;
        return load;
    }
    if (m_mode == "oneb") {
        ++m_position;
        if (m_position > static_cast<std::int64_t>(n) - 1)
            m_position = 0;
        return static_cast<std::uint32_t>(m_position);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> changeIntervalMs(int minutes)
{
    if (minutes <= 0)
        return std::nullopt;
    constexpr std::int64_t kLongest = 0x7FFFFFFF; // USER_TIMER_MAXIMUM
    return static_cast<std::uint32_t>(std::min<std::int64_t>(std::int64_t(minutes) * 60000, kLongest));
}

} // namespace lumo::player
