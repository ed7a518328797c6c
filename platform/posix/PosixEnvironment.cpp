#include "PosixEnvironment.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace lumo::platform {

std::optional<std::string> PosixEnvironment::variable(const std::string& name) const
{
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

std::string PosixEnvironment::currentFolder() const
{
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (buffer.size() > (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string PosixEnvironment::longPathName(const std::string& path) const
{
    return path;
}

std::string PosixEnvironment::programPath() const
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
}

} // namespace lumo::platform
