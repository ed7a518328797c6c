#include "PlaylistRules.h"

#include <optional>

namespace lumo::app {

namespace {

// The number a text begins with: digits with at most one decimal point or comma.
std::optional<long double> leadingNumber(std::string_view text)
{
    long double whole = 0;
    long double fraction = 0;
    long double scale = 1;
    bool digits = false;
    bool separator = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
            if (separator) {
                scale /= 10;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    return whole + fraction;
}

} // namespace

int comparePlaylistTexts(std::string_view a, std::string_view b)
{
    if (a.empty() || b.empty())
        return int(!a.empty()) - int(!b.empty());
    const std::optional<long double> x = leadingNumber(a);
    const std::optional<long double> y = leadingNumber(b);
    if (x && y && *x != *y)
        return *x < *y ? -1 : 1;
    if (x && y)
        return 0;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string playlistClipboardText(const std::vector<std::string>& texts)
{
    std::string out = "File Name\t\r\n";
    for (const std::string& text : texts)
        out += text + "\r\n";
    return out;
}

} // namespace lumo::app
