#include "TempFolder.h"

namespace lumo {

namespace {

std::string withoutTrailingSeparators(std::string path, std::string_view separators)
{
    while (path.size() > 1 && separators.find(path.back()) != std::string_view::npos)
        path.pop_back();
    return path;
}

std::optional<std::string> absoluteVariable(const platform::Environment& environment, const char* name)
{
    std::optional<std::string> value = environment.variable(name);
    if (value && !value->empty() && value->front() == '/')
        return value;
    return std::nullopt;
}

} // namespace

std::string temporaryFolder(const platform::Environment& environment, platform::HostKind host)
{
    const bool bothSet = environment.variable("TMP").has_value() && environment.variable("TEMP").has_value();
    if (host == platform::HostKind::Windows) {
        std::string folder = bothSet ? *environment.variable("TEMP") : environment.currentFolder();
        folder = environment.longPathName(folder);
        return withoutTrailingSeparators(folder, "\\");
    }
    if (bothSet) {
        if (auto temp = absoluteVariable(environment, "TEMP"))
            return withoutTrailingSeparators(*temp, "/");
    }
    if (auto tmpdir = absoluteVariable(environment, "TMPDIR"))
        return withoutTrailingSeparators(*tmpdir, "/");
    return "/tmp";
}

} // namespace lumo
