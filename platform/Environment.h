// Process environment: variables, the current folder and the long-name form of a path.
#pragma once

#include <optional>
#include <string>

namespace lumo::platform {

class Environment {
public:
    virtual ~Environment() = default;

    virtual std::optional<std::string> variable(const std::string& name) const = 0;
    virtual std::string currentFolder() const = 0;
    // Windows expands 8.3 short names; elsewhere the path is returned as it is.
    virtual std::string longPathName(const std::string& path) const = 0;
    // The running program's own file.
    virtual std::string programPath() const = 0;
    // The Windows folder and the system folder, without a trailing separator; empty where there
    // are none (POSIX).
    virtual std::string windowsFolder() const = 0;
    virtual std::string systemFolder() const = 0;
};

// The folder of the running program's file ("." when its path names none): where the files a
// build or an installation lays out beside it are found from.
std::string programFolder(const Environment& environment);

// An XDG base folder: the variable when it holds an absolute path, else $HOME/<belowHome>.
std::string xdgBaseFolder(const Environment& environment, const std::string& variable, const std::string& belowHome);

} // namespace lumo::platform
