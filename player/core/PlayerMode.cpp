#include "PlayerMode.h"

#include "common/PathRules.h"
#include "common/Text.h"

namespace lumo::player {

PlayerMode decidePlayerMode(std::string_view programFileName, const std::optional<std::string>& firstArgument)
{
    const std::string extension = upperAscii(extensionOf(fileNameOf(programFileName)));
    const std::optional<std::string> argument
        = firstArgument ? std::optional<std::string>(upperAscii(*firstArgument)) : std::nullopt;

    if (argument == "/S")
        return PlayerMode::Screensaver;
    if (extension == ".SCR" && argument != "/P")
        return PlayerMode::Settings;
    if (argument == "/P")
        return PlayerMode::None;
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
    case PlayerMode::None:
        break;
    }
    return {};
}

} // namespace lumo::player
