#include "WindowsNames.h"

#include "Text.h"

#include <array>
#include <string_view>

namespace lumo {

namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

bool isDeviceName(const std::string& name)
{
    // Windows takes the part before the first dot, without trailing spaces, as the device.
    std::string base = upperAscii(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain{"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain)
        if (base == device)
            return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1'
        && base[3] <= '9';
}

} // namespace

std::string whyNotWindowsName(const std::string& name)
{
    if (name.empty())
        return "it is empty";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return "it holds a control character";
        if (kForbidden.find(c) != std::string_view::npos)
            return std::string("it holds the character '") + c + "'";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "it ends in a dot or a space";
    if (isDeviceName(name))
        return "\"" + name.substr(0, name.find('.')) + "\" is the name of a Windows device";
    return {};
}

std::string windowsFileName(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos)
            c = '_';
    for (size_t end = out.size(); end > 0 && (out[end - 1] == '.' || out[end - 1] == ' '); --end)
        out[end - 1] = '_';
    if (out.empty())
        return "_";
    return isDeviceName(out) ? "_" + out : out;
}

} // namespace lumo
