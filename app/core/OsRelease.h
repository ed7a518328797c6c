// The operating system's product name on Linux: PRETTY_NAME of os-release(5), its quotes and
// escapes removed; empty when the file has none.
#pragma once

#include <string>
#include <string_view>

namespace lumo::app {

std::string prettyNameOf(std::string_view osRelease);

} // namespace lumo::app
