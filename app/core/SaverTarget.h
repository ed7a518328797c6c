// The editor as a Linux screensaver: xscreensaver and XSecureLock hand their savers an X window to
// draw into, by the environment variable XSCREENSAVER_WINDOW or by xscreensaver's arguments -root
// and -window-id ID (used by its settings preview too). Which window, if any, a start asks for.
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumo::app {

struct SaverTarget {
    bool root = false;
    std::uint32_t window = 0; // when not root
};

// arguments without the program's own name. The first argument's own modes (/s, /p, /c) come
// first: nothing then. Then -root or --root (the window XSCREENSAVER_WINDOW names, xscreensaver's
// virtual root, else the root window), -window-id ID or --window-id ID (ID decimal or 0x hex)
// anywhere among the arguments; then XSCREENSAVER_WINDOW when it is set; for a program named
// lumo-saver, the root window when nothing else is given. An ID that is no number is an error
// naming it.
Result<std::optional<SaverTarget>> saverTarget(const std::vector<std::string>& arguments,
                                               const std::optional<std::string>& environmentWindow, bool calledAsSaver);

} // namespace lumo::app
