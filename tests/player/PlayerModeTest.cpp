#include "player/core/PlayerMode.h"

#include <gtest/gtest.h>

namespace lumo::player {

TEST(PlayerMode, TheFirstMatchingTestDecides)
{
    const auto none = std::optional<std::string>();
    const struct {
        const char* program;
        std::optional<std::string> argument;
        PlayerMode mode;
    } cases[] = {
        {"C:\\Windows\\System32\\MySaver.scr", none, PlayerMode::Settings},
        {"MySaver.scr", "/c", PlayerMode::Settings},
        {"MySaver.scr", "/c:1234", PlayerMode::Settings},
        {"MySaver.scr", "/x", PlayerMode::Settings},
        {"MySaver.SCR", "/s", PlayerMode::Screensaver},
        {"MySaver.scr", "/S", PlayerMode::Screensaver},
        {"MySaver.scr", "/p", PlayerMode::None},
        {"MySaver.scr", "/P", PlayerMode::None},
        {"C:\\Out\\MySaver.exe", none, PlayerMode::Installer},
        {"MySaver.EXE", none, PlayerMode::Installer},
        {"MySaver.exe", "/s", PlayerMode::Screensaver},
        {"MySaver.exe", "/p", PlayerMode::None},
        {"MySaver.exe", "/c", PlayerMode::None},
        {"MySaver.exe", "", PlayerMode::None}, // an empty argument is an argument
        {"MySaver.bin", none, PlayerMode::None},
        {"MySaver.bin", "/s", PlayerMode::Screensaver},
        {"MySaver", none, PlayerMode::None},
        {"MySaver", "/S", PlayerMode::Screensaver},
        {"C:\\dir.scr\\MySaver", none, PlayerMode::None}, // the extension is the file name's
        {"My.scr.exe", none, PlayerMode::Installer},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decidePlayerMode(c.program, c.argument), c.mode) << c.program << " " << c.argument.value_or("(none)");
}

TEST(PlayerMode, EachModeCreatesItsWindowsInOrder)
{
    using enum PlayerWindow;
    EXPECT_EQ(playerWindows(PlayerMode::Screensaver), (std::vector<PlayerWindow>{ScreenSaver, MainFrm}));
    EXPECT_EQ(playerWindows(PlayerMode::Settings), (std::vector<PlayerWindow>{MainFrm, ScreenSaver}));
    EXPECT_EQ(playerWindows(PlayerMode::Installer), (std::vector<PlayerWindow>{Installer, Licence, MainFrm}));
    EXPECT_TRUE(playerWindows(PlayerMode::None).empty());
}

} // namespace lumo::player
