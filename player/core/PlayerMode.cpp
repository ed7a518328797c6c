#include "PlayerMode.h"

#include "common/PathRules.h"
#include "common/Text.h"

namespace lumo::player {

PlayerMode decidePlayerMode(std::string_view programFileName, const std::optional<std::string>& firstArgument)
{
    const std::string extension = upperAscii(extensionOf(fileNameOf(programFileName)));
    const std::optional<std::string> argument
        = firstArgument ? std::optional<std::string>(upperAscii(*firstArgument)) : std::nullopt;

    if (argument == "--LUMO-COPY-TO")
        return PlayerMode::ElevatedCopy;
    if (argument == "/S")
        return PlayerMode::Screensaver;
    if (extension == ".SCR" && argument != "/P")
        return PlayerMode::Settings;
    if (argument == "/P")
        return PlayerMode::Preview;
    if (extension == ".EXE" && !argument)
        return PlayerMode::Installer;
    return PlayerMode::None;
}

std::vector<PlayerWindow> playerWindows(PlayerMode mode)
{
    using enum PlayerWindow;
    switch (mode) {
    case PlayerMode::Screensaver:
        return {ScreenSaver, MainFrm};
    case PlayerMode::Settings:
        return {MainFrm, ScreenSaver};
    case PlayerMode::Installer:
        return {Installer, Licence, MainFrm};
    case PlayerMode::Preview:
        return {Preview};
    case PlayerMode::ElevatedCopy:
    case PlayerMode::None:
        break;
    }
    return {};
}

namespace {

std::optional<std::uint64_t> handleNumber(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || value > (UINT64_MAX - static_cast<unsigned>(digit)) / static_cast<unsigned>(base))
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    // Handles are 32-bit values even in 64-bit processes, and never 0.
    if (value == 0 || value > 0xFFFFFFFFu)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::uint64_t> handedWindow(PlayerMode mode, const std::vector<std::string>& arguments)
{
    if (mode == PlayerMode::Preview && arguments.size() > 1)
        return handleNumber(arguments[1]);
    if (mode == PlayerMode::Settings && !arguments.empty() && arguments[0].size() > 3
        && upperAscii(arguments[0].substr(0, 3)) == "/C:")
        return handleNumber(std::string_view(arguments[0]).substr(3));
    return std::nullopt;
}

} // namespace lumo::player
