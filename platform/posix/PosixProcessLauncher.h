// Child processes with posix_spawn, each the leader of a process group of its own, so that stop()
// reaches everything it started.
#pragma once

#include "platform/ChildProcess.h"

namespace lumo::platform {

class PosixProcessLauncher final : public ProcessLauncher {
public:
    Result<std::unique_ptr<ChildProcess>> start(const std::vector<std::string>& arguments) override;
};

} // namespace lumo::platform
