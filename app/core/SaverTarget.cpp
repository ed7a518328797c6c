#include "SaverTarget.h"

#include "common/Text.h"

#include <cctype>

namespace lumo::app {

namespace {

std::optional<std::uint32_t> windowId(const std::string& text)
{
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
            : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
            ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
            : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value == 0 || value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

Result<std::optional<SaverTarget>> windowFrom(const std::string& text, const std::string& where)
{
    const std::optional<std::uint32_t> id = windowId(text);
    if (!id)
        return Error{"\"" + escapedForDisplay(text) + "\" (" + where
                     + ") is no X window id: give a decimal number or 0x and hex digits"};
    return std::optional<SaverTarget>(SaverTarget{false, *id});
}

} // namespace

Result<std::optional<SaverTarget>> saverTarget(const std::vector<std::string>& arguments,
                                               const std::optional<std::string>& environmentWindow, bool calledAsSaver)
{
    if (!arguments.empty()) {
        const std::string first = upperAscii(arguments[0]);
        if (first == "/S" || first == "/P" || first == "/C" || first.rfind("/C:", 0) == 0)
            return std::optional<SaverTarget>();
    }
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "-root" || a == "--root") {
            // xscreensaver's "root" is its own window, the virtual root it names in the environment.
            if (environmentWindow && !environmentWindow->empty())
                return windowFrom(*environmentWindow, "XSCREENSAVER_WINDOW");
            return std::optional<SaverTarget>(SaverTarget{true, 0});
        }
        if (a == "-window-id" || a == "--window-id") {
            if (i + 1 >= arguments.size())
                return Error{a + " needs the id of the window to play in"};
            return windowFrom(arguments[i + 1], a);
        }
    }
    if (environmentWindow && !environmentWindow->empty())
        return windowFrom(*environmentWindow, "XSCREENSAVER_WINDOW");
    if (calledAsSaver)
        return std::optional<SaverTarget>(SaverTarget{true, 0});
    return std::optional<SaverTarget>();
}

} // namespace lumo::app
