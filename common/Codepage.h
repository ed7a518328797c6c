// Windows-1252, the 8-bit code page of the texts that go into a produced screensaver.
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// controls of the same value, as Windows maps them, so every byte sequence round-trips.
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace lumo {

std::string cp1252ToUtf8(std::string_view bytes);

// Fails naming the first character that Windows-1252 cannot hold.
Result<std::string> utf8ToCp1252(std::string_view text);

} // namespace lumo
