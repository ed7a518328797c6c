#include "Environment.h"

#include "Host.h"

namespace lumo::platform {

std::string xdgBaseFolder(const Environment& environment, const std::string& variable, const std::string& belowHome)
{
    if (auto value = environment.variable(variable); value && !value->empty() && value->front() == '/')
        return *value;
    return environment.variable("HOME").value_or("") + "/" + belowHome;
}

std::string programFolder(const Environment& environment)
{
    const std::string program = environment.programPath();
    const size_t slash = program.rfind(kHostSeparator);
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

} // namespace lumo::platform
