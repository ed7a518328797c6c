// param.lis as the player reads it: the marker "KX", then the settings text with each byte XORed
// with 0x5A at odd 1-based positions and 0xC3 at even ones, then CR LF. The plain text holds 13
// lines, each ending in CR LF; lines are read by position and converted as the framework converts
// text (decimal integers; booleans as numbers, true unless zero, or the words True and False).
#pragma once

#include "platform/Result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::player {

// The inverse of the Creator's scrambling: bytes after the marker to plain text.
std::string UnscrambleParams(std::string_view scrambled);

// Lines numbered from 1, as the parameter table numbers them.
class ParamLines {
public:
    ParamLines() = default;
    explicit ParamLines(std::vector<std::string> lines)
        : m_lines(std::move(lines))
    {
    }

    size_t count() const { return m_lines.size(); }
    // "List index out of bounds (%d)" with the 0-based index when the line is missing.
    Result<std::string> text(int line) const;
    // "'%s' is not a valid integer value"
    Result<int> integer(int line) const;
    // "'%s' is not a valid boolean value"
    Result<bool> boolean(int line) const;

private:
    std::vector<std::string> m_lines;
};

// Reads the file's bytes. A wrong marker is no error: onWrongMarker is called (the player shows its
// "KX" message box) and the bytes from the third on are unscrambled all the same.
ParamLines readParamLines(std::string_view fileBytes, const std::function<void()>& onWrongMarker);

// The framework's text-to-boolean conversion.
std::optional<bool> parseBoolean(std::string_view text);

} // namespace lumo::player
