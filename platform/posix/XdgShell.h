// "open" on Linux desktops: xdg-open, or Wine for Windows programs (.exe, .scr) when it is installed.
// open is false when nothing could be started: no xdg-open, or an xdg-open that ended with an error
// within answerMs (it finds no program for the target, or the program failed at once).
#pragma once

#include "../Shell.h"

#include <string>
#include <vector>

namespace lumo::platform {

class XdgShell final : public Shell {
public:
    explicit XdgShell(int answerMs = 2000)
        : m_answerMs(answerMs)
    {
    }
    bool open(const std::string& target, const std::string& parameters, const std::string& workingFolder) override;

    // The program and arguments that open would start; empty when nothing can open target.
    static std::vector<std::string> commandFor(const std::string& target, const std::string& parameters);

private:
    static constexpr int kStillRunning = -1;
    int m_answerMs;
};

// The full path of program found on PATH, or empty.
std::string findOnPath(const std::string& program);

} // namespace lumo::platform
