// The commands of lumo-tool, one function per command group.
#pragma once

#include <string>
#include <vector>

namespace lumo::tool {

// args[0] is the command group; returns the exit status.
int run(const std::vector<std::string>& args);

} // namespace lumo::tool
