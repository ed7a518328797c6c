// The installer's copy of the program's own file: made beside the target under a temporary name
// and renamed over it only when complete, so an interrupted copy never leaves a broken screensaver
// where the display settings find it.
#pragma once

#include <windows.h>

#include <string>

namespace lumo::player {

// 0, or the system's error code.
DWORD copyOwnProgram(const std::string& programPath, const std::string& target);

} // namespace lumo::player
