#include "CommandLine.h"

#include "common/PathRules.h"
#include "common/Text.h"

#include <algorithm>
#include <iostream>
#include <unistd.h>

namespace lumo::tool {

int fail(const std::string& message)
{
    // One line whatever the message carries: names from files may hold anything.
    std::cerr << "lumo-tool: " << escapedForDisplay(message) << "\n";
    return 1;
}

int usage(const char* text)
{
    std::cerr << "usage: " << text << "\n";
    return 1;
}

bool wantsHelp(const Args& args)
{
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

Parsed parse(const Args& args, size_t from, const std::vector<std::string>& known)
{
    Parsed p;
    for (size_t i = from; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (std::find(known.begin(), known.end(), args[i]) == known.end())
                p.unknown = args[i];
            p.flags.push_back(args[i]);
        } else {
            p.positional.push_back(args[i]);
        }
    }
    return p;
}

bool has(const Parsed& p, const char* flag)
{
    return std::find(p.flags.begin(), p.flags.end(), flag) != p.flags.end();
}

std::string optionValue(const Args& args, const std::string& option, const std::string& fallback)
{
    const auto it = std::find(args.begin(), args.end(), option);
    return it != args.end() && it + 1 != args.end() ? *(it + 1) : fallback;
}

Args positionals(const Args& args, size_t from, std::string& unknown)
{
    Args out;
    for (size_t i = from; i < args.size(); ++i) {
        if (args[i] == "--type" || args[i] == "--name" || args[i] == "--lang") {
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            unknown = args[i];
        } else {
            out.push_back(args[i]);
        }
    }
    return out;
}

ProgressLine::ProgressLine()
    : m_enabled(::isatty(STDERR_FILENO) != 0)
{
}

ProgressLine::~ProgressLine()
{
    if (m_enabled && m_shown)
        std::cerr << "\r\033[K" << std::flush;
}

void ProgressLine::show(const std::string& file, std::int64_t position, std::int64_t total)
{
    if (!m_enabled)
        return;
    m_shown = true;
    const int percent = total > 0 ? static_cast<int>(position * 100 / total) : 100;
    std::cerr << "\r\033[K" << fileNameOf(file, PathSyntax::Host) << " " << percent << "%" << std::flush;
}

} // namespace lumo::tool
