#include "OsRelease.h"

namespace lumo::app {

std::string prettyNameOf(std::string_view osRelease)
{
    constexpr std::string_view key = "PRETTY_NAME=";
    while (!osRelease.empty()) {
        const size_t end = osRelease.find('\n');
        std::string_view line = osRelease.substr(0, end);
        osRelease = end == std::string_view::npos ? std::string_view() : osRelease.substr(end + 1);
        if (line.substr(0, key.size()) != key)
            continue;
        line.remove_prefix(key.size());
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        std::string value;
        const bool quoted
            = line.size() >= 2 && (line.front() == '"' || line.front() == '\'') && line.back() == line.front();
        if (quoted)
            line = line.substr(1, line.size() - 2);
        for (size_t i = 0; i < line.size(); ++i) {
            if (quoted && line[i] == '\\' && i + 1 < line.size())
                ++i;
            value += line[i];
        }
        return value;
    }
    return {};
}

} // namespace lumo::app
