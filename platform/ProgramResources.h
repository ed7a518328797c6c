// The running program's own raw-data (RCDATA) resources: the player program finds its project
// archive "FILELIST" there.
#pragma once

#include "Result.h"

#include <string>
#include <string_view>

namespace lumo::platform {

class ProgramResources {
public:
    virtual ~ProgramResources() = default;
    // The resource's bytes, valid while the program runs. Fails with "Resource <name> not found".
    virtual Result<std::string_view> rawData(const std::string& name) = 0;
};

Error resourceNotFound(const std::string& name);

} // namespace lumo::platform
