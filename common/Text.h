// Small text rules shared by both programs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

// The text before the first occurrence of separator, or the whole text when it does not occur.
std::string TextBefore(char separator, std::string_view text);

// Plain ASCII upper-casing; every other byte stays as it is.
std::string upperAscii(std::string_view text);

// A decimal integer with an optional sign that fits 32 bits; nothing else (no spaces, no hex).
std::optional<int> parseInteger(std::string_view text);

// A name from a file or the command line as it may be shown: valid UTF-8 stays as it is; control
// characters and bytes that are no UTF-8 become \xNN, so nothing in a name can steer a terminal or
// hide what it is. Past limit characters of the text, the rest gives way to "...".
std::string escapedForDisplay(std::string_view text, size_t limit = std::string_view::npos);
// How many characters of a name from a file an error shows.
inline constexpr size_t kShownNameLength = 200;

} // namespace lumo
