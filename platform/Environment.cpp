#include "Environment.h"

namespace lumo::platform {

std::string xdgBaseFolder(const Environment& environment, const std::string& variable, const std::string& belowHome)
{
    if (auto value = environment.variable(variable); value && !value->empty() && value->front() == '/')
        return *value;
    return environment.variable("HOME").value_or("") + "/" + belowHome;
}

} // namespace lumo::platform
