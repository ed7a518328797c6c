#include "StagingNames.h"

#include <string>

namespace lumo::creator {

namespace {

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
