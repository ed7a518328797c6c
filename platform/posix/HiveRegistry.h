// The registry of POSIX hosts: HKEY_CURRENT_USER kept in one file in the registry text format.
// Every operation takes an exclusive lock on "<hive>.lock" and re-reads the file, so an editor and a
// screensaver running at once see each other's values and never corrupt the file; writes replace it
// atomically. A file that cannot be parsed is renamed aside ("<hive>.broken-<time>") and reported,
// never overwritten.
#pragma once

#include "../Environment.h"
#include "../Registry.h"
#include "RegText.h"

#include <functional>
#include <string>

namespace lumo::platform {

class HiveRegistry final : public Registry {
public:
    explicit HiveRegistry(std::string hivePath);

    // LUMO_REGISTRY when set, else $XDG_CONFIG_HOME (or ~/.config)/lumo-screensaver/registry.reg.
    static std::string defaultHivePath(const Environment& environment);

    const std::string& path() const { return m_path; }
    bool hiveExists() const;

    Result<std::optional<std::string>> readString(std::string_view key, std::string_view name) override;
    Status writeString(std::string_view key, std::string_view name, std::string_view value) override;
    bool keyExists(std::string_view key) override;

private:
    class Lock;
    // Runs action on the parsed hive under the lock; a hive that does not parse is set aside first.
    Status withHive(const std::function<Status(reg::Hive&)>& action);
    Status save(const reg::Hive& hive);
    Status takeUnreported();

    std::string m_path;
    std::string m_unreported; // a failure met where it could not be returned
};

} // namespace lumo::platform
