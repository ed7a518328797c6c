#include "app/core/StartMode.h"
#include "app/core/ListFolderSeed.h"
#include "app/core/SettingsStore.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace lumo::app {

TEST(EditorMode, OnlyTheWholeFirstArgumentCounts)
{
    const struct {
        std::optional<std::string> argument;
        EditorMode mode;
    } cases[] = {
        {"/S", EditorMode::Screensaver}, {"/s", EditorMode::Screensaver},    {"/P", EditorMode::EndAtOnce},
        {"/p", EditorMode::EndAtOnce},   {std::nullopt, EditorMode::Editor}, {"/c", EditorMode::Editor},
        {"/c:1234", EditorMode::Editor}, {"-s", EditorMode::Editor},         {"/S1", EditorMode::Editor},
        {"/save", EditorMode::Editor},   {"", EditorMode::Editor},           {" /s", EditorMode::Editor},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decideEditorMode(c.argument), c.mode) << c.argument.value_or("(none)");
}

TEST(EditorMode, WindowsAreCreatedInTheModesOrder)
{
    using enum EditorWindow;
    EXPECT_EQ(
        windowOrder(EditorMode::Editor),
        (std::vector<EditorWindow>{MainWindow, ScreenPlayer, Creator, About, UrlDialog, CreatorPreview, SearchDialog}));
    EXPECT_EQ(
        windowOrder(EditorMode::Screensaver),
        (std::vector<EditorWindow>{ScreenPlayer, MainWindow, Creator, About, UrlDialog, CreatorPreview, SearchDialog}));
    EXPECT_TRUE(windowOrder(EditorMode::EndAtOnce).empty());
}

TEST(EditorMode, ARunningCopyBlocksOnlyWhileBothItsWindowsExist)
{
    platform::FakePresence presence;
    EXPECT_FALSE(startBlocked(presence));
    auto main = presence.claim(kMainWindowClass);
    EXPECT_FALSE(startBlocked(presence)) << "an editor that never showed a preview";
    auto screen = presence.claim(kScreenWindowClass);
    EXPECT_TRUE(startBlocked(presence));
    main.reset();
    EXPECT_FALSE(startBlocked(presence)) << "the full-screen player alone";
}

TEST(ListFolderSeed, AFirstStartPointsPathAtTheDataFolderAndCreatesIt)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    platform::FakeRegistry registry;
    const std::string folder = dir / "data/lumo-screensaver";
    ASSERT_TRUE(seedListFolder(registry, files, folder));
    EXPECT_EQ(registry.stored(std::string(kSettingsKey), "Path"), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A key that exists is left alone, and so is a Path the user chose.
    platform::FakeRegistry chosen;
    chosen.setString(std::string(kSettingsKey), "Path", dir / "mine");
    ASSERT_TRUE(seedListFolder(chosen, files, dir / "other"));
    EXPECT_EQ(chosen.stored(std::string(kSettingsKey), "Path"), dir / "mine");
    EXPECT_FALSE(std::filesystem::exists(dir / "other"));
}

TEST(ListFolderSeed, ABrokenSettingsFileIsSaidAndTheFirstStartGoesOn)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    test::writeFile(dir / "registry.reg", "no registry file\n");
    platform::HiveRegistry registry(dir / "registry.reg");
    const std::string folder = dir / "data/lumo-screensaver";
    const Status seeded = seedListFolder(registry, files, folder);
    ASSERT_FALSE(seeded);
    EXPECT_NE(seeded.message().find("set aside"), std::string::npos) << seeded.message();
    EXPECT_EQ(*registry.readString(kSettingsKey, "Path"), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(ListFolderSeed, DefaultFolderFollowsXdg)
{
    platform::FakeEnvironment environment;
    environment.variables = {{"HOME", "/home/u"}};
    EXPECT_EQ(defaultListFolder(environment), "/home/u/.local/share/lumo-screensaver");
    environment.variables["XDG_DATA_HOME"] = "/d";
    EXPECT_EQ(defaultListFolder(environment), "/d/lumo-screensaver");
}

} // namespace lumo::app
