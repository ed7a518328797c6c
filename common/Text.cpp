#include "Text.h"

namespace lumo {

std::string TextBefore(char separator, std::string_view text)
{
    return std::string(text.substr(0, text.find(separator)));
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::optional<int> parseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace lumo
