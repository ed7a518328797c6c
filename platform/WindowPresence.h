// Top-level window lookup by class name: the single-instance test of the editor.
// A window announces itself with a claim that lasts as long as the native window exists.
#pragma once

#include <memory>
#include <string_view>

namespace lumo::platform {

class PresenceClaim {
public:
    virtual ~PresenceClaim() = default;
};

class WindowPresence {
public:
    virtual ~WindowPresence() = default;

    virtual bool isPresent(std::string_view windowClass) = 0;

    // nullptr when the claim cannot be made; the window then simply cannot be found by others.
    virtual std::unique_ptr<PresenceClaim> claim(std::string_view windowClass) = 0;
};

} // namespace lumo::platform
