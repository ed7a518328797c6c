// Another program run by this one, with its standard output read line by line as it comes: the
// helpers a build runs for minutes (the movie recorder) report their progress that way and can be
// stopped with everything they started.
#pragma once

#include "Result.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumo::platform {

class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    // The next line of standard output, without its end; none when none came within timeoutMs or
    // the output has ended (then finished() is true).
    virtual std::optional<std::string> readLine(int timeoutMs) = 0;
    virtual bool finished() const = 0;
    // Ends the program and every process it started; nothing of theirs keeps running.
    virtual void stop() = 0;
    // Waits for the end: the exit status, or an error when a signal ended it.
    virtual Result<int> wait() = 0;
    // The last of what it wrote to standard error.
    virtual std::string errorOutput() const = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // arguments[0] is the program's path.
    virtual Result<std::unique_ptr<ChildProcess>> start(const std::vector<std::string>& arguments) = 0;
};

} // namespace lumo::platform
