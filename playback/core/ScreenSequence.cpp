#include "ScreenSequence.h"

namespace lumo::playback {

std::vector<std::uint32_t> ScreenSequence::next(std::uint32_t n, bool randomOrder, bool oneByOne)
{
    std::vector<std::uint32_t> loads;
    if (n == 0)
        return loads;
    if (randomOrder) {
        std::uint32_t a = m_random.next(n);
        if (a == 0 && m_previousDraw == 0)
            a = m_random.next(n);
        loads.push_back(a);
        m_previousDraw = a;
    }
    if (oneByOne) {
        ++m_position;
        if (m_position > std::int64_t(n) - 1)
            m_position = 0;
        loads.push_back(static_cast<std::uint32_t>(m_position));
    }
    return loads;
}

} // namespace lumo::playback
