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
        {"MySaver.scr", "/p", PlayerMode::Preview},
        {"MySaver.scr", "/P", PlayerMode::Preview},
        {"C:\\Out\\MySaver.exe", none, PlayerMode::Installer},
        {"MySaver.EXE", none, PlayerMode::Installer},
        {"MySaver.exe", "/s", PlayerMode::Screensaver},
        {"MySaver.exe", "/p", PlayerMode::Preview},
        {"MySaver.exe", "/c", PlayerMode::None},
        {"MySaver.exe", "", PlayerMode::None}, // an empty argument is an argument
        {"MySaver.bin", none, PlayerMode::None},
        {"MySaver.bin", "/s", PlayerMode::Screensaver},
        {"MySaver", none, PlayerMode::None},
        {"MySaver", "/S", PlayerMode::Screensaver},
        {"C:\\dir.scr\\MySaver", none, PlayerMode::None}, // the extension is the file name's
        {"My.scr.exe", none, PlayerMode::Installer},
        {"Setup.exe", "--lumo-copy-to", PlayerMode::ElevatedCopy},
        {"Setup.scr", "--LUMO-COPY-TO", PlayerMode::ElevatedCopy},
        {"Setup.exe", "--lumo-copy", PlayerMode::None},
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
    EXPECT_EQ(playerWindows(PlayerMode::Preview), (std::vector<PlayerWindow>{Preview}));
    EXPECT_TRUE(playerWindows(PlayerMode::ElevatedCopy).empty());
    EXPECT_TRUE(playerWindows(PlayerMode::None).empty());
}

TEST(PlayerMode, TheHandedWindowIsReadFromTheSystemsArguments)
{
    using Arguments = std::vector<std::string>;
    const struct {
        PlayerMode mode;
        Arguments arguments;
        std::optional<std::uint64_t> handle;
    } cases[] = {
        {PlayerMode::Preview, {"/p", "1234"}, 1234},
        {PlayerMode::Preview, {"/P", "0x1A2b"}, 0x1A2B},
        {PlayerMode::Preview, {"/p", "4294967295"}, 0xFFFFFFFFu},
        {PlayerMode::Preview, {"/p"}, std::nullopt},
        {PlayerMode::Preview, {"/p", ""}, std::nullopt},
        {PlayerMode::Preview, {"/p", "0"}, std::nullopt},
        {PlayerMode::Preview, {"/p", "-5"}, std::nullopt},
        {PlayerMode::Preview, {"/p", "12ab"}, std::nullopt},
        {PlayerMode::Preview, {"/p", "4294967296"}, std::nullopt},
        {PlayerMode::Preview, {"/p", "99999999999999999999999"}, std::nullopt},
        {PlayerMode::Settings, {"/c:5678"}, 5678},
        {PlayerMode::Settings, {"/C:0x10"}, 16},
        {PlayerMode::Settings, {"/c"}, std::nullopt},
        {PlayerMode::Settings, {"/c:"}, std::nullopt},
        {PlayerMode::Settings, {}, std::nullopt},
        {PlayerMode::Screensaver, {"/s", "1234"}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handedWindow(c.mode, c.arguments), c.handle)
            << (c.arguments.empty() ? "(none)" : c.arguments.front()) << " " << c.arguments.size();
}

} // namespace lumo::player
