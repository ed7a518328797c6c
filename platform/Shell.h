// The shell's "open" verb: documents, web addresses, mail addresses and programs.
#pragma once

#include <string>

namespace lumo::platform {

class Shell {
public:
    virtual ~Shell() = default;

    // Starts what the system associates with target and does not wait for it.
    // false when nothing could be started.
    virtual bool open(const std::string& target, const std::string& parameters = {},
                      const std::string& workingFolder = {})
        = 0;
};

} // namespace lumo::platform
