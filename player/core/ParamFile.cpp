#include "ParamFile.h"

#include "common/ListFile.h"
#include "common/Text.h"

namespace lumo::player {

std::string UnscrambleParams(std::string_view scrambled)
{
    std::string plain(scrambled);
    for (size_t i = 0; i < plain.size(); ++i) {
        // Position p = i + 1: odd positions take 0x5A, even ones 0xC3.
        const unsigned char key = (i % 2 == 0) ? 0x5A : 0xC3;
        plain[i] = static_cast<char>(static_cast<unsigned char>(plain[i]) ^ key);
    }
    return plain;
}

ParamLines readParamLines(std::string_view fileBytes, const std::function<void()>& onWrongMarker)
{
    if (fileBytes.size() >= 2 && fileBytes.substr(fileBytes.size() - 2) == "\r\n")
        fileBytes.remove_suffix(2);
    if (fileBytes.substr(0, 2) != "KX" && onWrongMarker)
        onWrongMarker();
    const std::string plain = fileBytes.size() > 2 ? UnscrambleParams(fileBytes.substr(2)) : std::string();
    return ParamLines(splitListLines(plain));
}

Result<std::string> ParamLines::text(int line) const
{
    const int index = line - 1;
    if (index < 0 || static_cast<size_t>(index) >= m_lines.size())
        return Error{formatMessage("List index out of bounds (%d)", {std::to_string(index)})};
    return m_lines[static_cast<size_t>(index)];
}

Result<int> ParamLines::integer(int line) const
{
    Result<std::string> t = text(line);
    if (!t)
        return t.error();
    if (auto number = parseInteger(*t))
        return *number;
    return Error{formatMessage("'%s' is not a valid integer value", {*t})};
}

Result<bool> ParamLines::boolean(int line) const
{
    Result<std::string> t = text(line);
    if (!t)
        return t.error();
    if (auto flag = parseBoolean(*t))
        return *flag;
    return Error{formatMessage("'%s' is not a valid boolean value", {*t})};
}

std::optional<bool> parseBoolean(std::string_view text)
{
    const std::string word = upperAscii(text);
    if (word == "TRUE")
        return true;
    if (word == "FALSE")
        return false;
    // A number with an optional fraction; true unless it is zero.
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    bool anyDigit = false;
    bool nonZero = false;
    bool pointSeen = false;
    for (const char c : digits) {
        if (c == '.' && !pointSeen) {
            pointSeen = true;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        anyDigit = true;
        nonZero = nonZero || c != '0';
    }
    if (!anyDigit)
        return std::nullopt;
    return nonZero;
}

} // namespace lumo::player
