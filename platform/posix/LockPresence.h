// Window presence on POSIX: every native window of a class holds a shared lock on
// "<runtime folder>/<class>.presence" for as long as it exists. A class is present while any
// such lock is held, which the kernel drops when the holder ends, crash included.
#pragma once

#include "../Environment.h"
#include "../WindowPresence.h"

#include <string>

namespace lumo::platform {

class LockPresence final : public WindowPresence {
public:
    explicit LockPresence(std::string folder);

    // $XDG_RUNTIME_DIR/lumo-screensaver, else a private folder under /tmp.
    static std::string defaultFolder(const Environment& environment);

    bool isPresent(std::string_view windowClass) override;
    std::unique_ptr<PresenceClaim> claim(std::string_view windowClass) override;

private:
    std::string fileFor(std::string_view windowClass) const;
    bool ensureFolder() const;

    std::string m_folder;
};

} // namespace lumo::platform
