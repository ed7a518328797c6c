#include "PathRules.h"

#include "platform/Host.h"

namespace lumo {

namespace {

std::string_view separators(PathSyntax syntax)
{
    if (syntax == PathSyntax::Host && platform::kHost == platform::HostKind::Posix)
        return "\\:/";
    return "\\:";
}

} // namespace

std::string fileNameOf(std::string_view path, PathSyntax syntax)
{
    const size_t last = path.find_last_of(separators(syntax));
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string extensionOf(std::string_view path, PathSyntax syntax)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    if (path.find_first_of(separators(syntax), dot) != std::string_view::npos)
        return {};
    return std::string(path.substr(dot));
}

std::string joinHostPath(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    if (out.empty() || out.back() != platform::kHostSeparator)
        out += platform::kHostSeparator;
    out += name;
    return out;
}

std::string videoPathOf(std::string_view moviePath)
{
    const std::string extension = extensionOf(moviePath, PathSyntax::Host);
    if (extension.size() != 4 || (extension[1] | 0x20) != 's' || (extension[2] | 0x20) != 'w'
        || (extension[3] | 0x20) != 'f')
        return {};
    return std::string(moviePath.substr(0, moviePath.size() - 4)) + ".avi";
}

} // namespace lumo
