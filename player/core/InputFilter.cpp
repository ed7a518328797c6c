#include "InputFilter.h"

#include <cstdlib>

namespace lumo::player {

bool closesPlayer(std::uint32_t message, ScreenPoint at, ScreenPoint start)
{
    switch (message) {
    case 0x0200: // mouse move: up to 5 pixels along each axis are tolerated
        return std::abs(std::int64_t(at.x) - start.x) > 5 || std::abs(std::int64_t(at.y) - start.y) > 5;
    case 0x0100: // key down, key up, system key down and up
    case 0x0101:
    case 0x0104:
    case 0x0105:
    case 0x0006: // activation, non-client activation, application activation
    case 0x0086:
    case 0x001C:
    case 0x0201: // left, right, middle button down
    case 0x0204:
    case 0x0207:
        return true;
    default:
        return false;
    }
}

} // namespace lumo::player
