// "open" on Linux desktops: xdg-open, or Wine for Windows programs (.exe, .scr) when it is installed.
#pragma once

#include "../Shell.h"

#include <string>
#include <vector>

namespace lumo::platform {

class XdgShell final : public Shell {
public:
    bool open(const std::string& target, const std::string& parameters, const std::string& workingFolder) override;

    // The program and arguments that open would start; empty when nothing can open target.
    static std::vector<std::string> commandFor(const std::string& target, const std::string& parameters);
};

// The full path of program found on PATH, or empty.
std::string findOnPath(const std::string& program);

} // namespace lumo::platform
