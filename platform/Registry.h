// String values under HKEY_CURRENT_USER. Keys are backslash-separated paths below HKCU and,
// like value names, compare without regard to case.
#pragma once

#include "Result.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumo::platform {

class Registry {
public:
    virtual ~Registry() = default;

    // nullopt when the key or the value is missing. A value of a non-string type fails with
    // "Invalid data type for '<name>'".
    virtual Result<std::optional<std::string>> readString(std::string_view key, std::string_view name) = 0;

    // Creates the key when needed. Fails with "Failed to create key <key>" or
    // "Failed to set data for '<name>'".
    virtual Status writeString(std::string_view key, std::string_view name, std::string_view value) = 0;

    virtual bool keyExists(std::string_view key) = 0;
};

Error invalidDataType(std::string_view name);
Error failedToCreateKey(std::string_view key);
Error failedToSetData(std::string_view name);

} // namespace lumo::platform
