// What the commands of lumo-tool share: argument parsing, the one-line error report, the progress
// line for a person at a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::tool {

using Args = std::vector<std::string>;

// One line on stderr; returns the failing exit status.
int fail(const std::string& message);
int usage(const char* text);
bool wantsHelp(const Args& args);

// The positional arguments and the flags of a command; unknown flags are an error.
struct Parsed {
    Args positional;
    std::vector<std::string> flags;
    std::string unknown;
};
Parsed parse(const Args& args, size_t from, const std::vector<std::string>& known);
bool has(const Parsed& p, const char* flag);

// The value after an option that takes one, or fallback.
std::string optionValue(const Args& args, const std::string& option, const std::string& fallback);
// The positional arguments of a command whose options (--type, --name, --lang) all take a value.
Args positionals(const Args& args, size_t from, std::string& unknown);

// A progress line that rewrites itself, only for a person watching a terminal.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    void show(const std::string& file, std::int64_t position, std::int64_t total);
    bool enabled() const { return m_enabled; }

private:
    bool m_enabled;
    bool m_shown = false;
};

int archiveCommand(const Args& args);
int storageCommand(const Args& args);
int peCommand(const Args& args);
int paramsCommand(const Args& args);
int createCommand(const Args& args);

} // namespace lumo::tool
