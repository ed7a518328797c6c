#pragma once

#include "../Environment.h"

namespace lumo::platform {

class PosixEnvironment final : public Environment {
public:
    std::optional<std::string> variable(const std::string& name) const override;
    std::string currentFolder() const override;
    std::string longPathName(const std::string& path) const override;
    std::string programPath() const override;
    std::string windowsFolder() const override { return {}; }
    std::string systemFolder() const override { return {}; }
};

} // namespace lumo::platform
