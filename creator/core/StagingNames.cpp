#include "StagingNames.h"

#include "common/Text.h"

#include <array>
#include <string_view>

namespace lumo::creator {

namespace {

bool isDeviceName(const std::string& name)
{
    // Windows takes the part before the first dot, without trailing spaces, as the device.
    std::string base = upperAscii(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain{"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain)
        if (base == device)
            return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1'
        && base[3] <= '9';
}

std::string folded(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string numbered(const std::string& name, int n)
{
    const size_t dot = name.rfind('.');
    const size_t stem = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, stem) + " (" + std::to_string(n) + ")" + name.substr(stem);
}

} // namespace

std::string windowsFileName(const std::string& name)
{
    std::string out = name;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    for (size_t end = out.size(); end > 0 && (out[end - 1] == '.' || out[end - 1] == ' '); --end)
        out[end - 1] = '_';
    if (out.empty())
        return "_";
    return isDeviceName(out) ? "_" + out : out;
}

void StagingNames::reserve(const std::string& name)
{
    m_taken.emplace(folded(name), std::string());
}

std::string StagingNames::nameFor(const std::string& source, const std::string& wanted)
{
    const std::string safe = windowsFileName(wanted);
    std::string name = safe;
    for (int n = 2;; ++n) {
        const auto [at, added] = m_taken.emplace(folded(name), source);
        if (added || (!source.empty() && at->second == source))
            return name;
        name = numbered(safe, n);
    }
}

} // namespace lumo::creator
