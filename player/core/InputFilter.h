// The full-screen player's message filter: the input that closes it. Positions are screen
// coordinates (the window turns a mouse message's client position into one), so the 5-pixel
// tolerance means the same on every monitor and for the hidden window of settings mode.
#pragma once

#include <cstdint>

namespace lumo::player {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// message: the Win32 message number; at: the pointer's screen position for a mouse move.
bool closesPlayer(std::uint32_t message, ScreenPoint at, ScreenPoint start);

} // namespace lumo::player
