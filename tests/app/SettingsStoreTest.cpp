#include "app/core/SettingsStore.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace lumo::app {

namespace {

const std::string kKey(kSettingsKey);

// Controls with every handler counted.
struct CountedControls {
    EditorControls controls;
    int loopClicks = 0, muteClicks = 0, timerChanges = 0, moves = 0;
    CountedControls()
    {
        controls.setHandlers(
            {[this] { ++loopClicks; }, [this] { ++muteClicks; }, [this] { ++timerChanges; }, [this] { ++moves; }});
    }
};

} // namespace

TEST(ReadSettings, FirstRunGivesTheMainWindowDefaults)
{
    platform::FakeRegistry registry;
    CountedControls c;
    std::string folder = "unchanged";
    ASSERT_TRUE(ReadSettings(registry, c.controls, folder));
    EXPECT_TRUE(c.controls.loop());
    EXPECT_FALSE(c.controls.mute());
    EXPECT_EQ(c.controls.scaleIndex(), 0);
    EXPECT_EQ(c.controls.qualityIndex(), 1);
    EXPECT_FALSE(c.controls.play1());
    EXPECT_FALSE(c.controls.rnd());
    EXPECT_TRUE(c.controls.one());
    EXPECT_EQ(c.controls.timer(), 5);
    EXPECT_EQ(c.controls.left(), 250);
    EXPECT_EQ(c.controls.top(), 200);
    EXPECT_EQ(folder, "");
    // Loop differs from the design state and raises its handler; mute and the interval do not.
    EXPECT_EQ(c.loopClicks, 1);
    EXPECT_EQ(c.muteClicks, 0);
    EXPECT_EQ(c.timerChanges, 0);
}

TEST(ReadSettings, ReadsValuesByTheSharedRules)
{
    const struct {
        const char* name;
        const char* stored;
        std::function<int(const EditorControls&)> shown;
        int expected;
    } cases[] = {
        {"mute_Checked", "5", [](auto& c) { return int(c.mute()); }, 1},
        {"mute_Checked", "-1", [](auto& c) { return int(c.mute()); }, 1},
        {"loop_Checked", "0", [](auto& c) { return int(c.loop()); }, 0},
        {"loop_Checked", "yes", [](auto& c) { return int(c.loop()); }, 1}, // not an integer: the default
        {"loop_Checked", "", [](auto& c) { return int(c.loop()); }, 1},
        {"timer", "0", [](auto& c) { return c.timer(); }, 1},
        {"timer", "500", [](auto& c) { return c.timer(); }, 200},
        {"timer", "-3", [](auto& c) { return c.timer(); }, 1},
        {"timer", "12", [](auto& c) { return c.timer(); }, 12},
        {"timer", "1.5", [](auto& c) { return c.timer(); }, 5},
        {"scale_Text", "7", [](auto& c) { return c.scaleIndex(); }, -1},
        {"scale_Text", "3", [](auto& c) { return c.scaleIndex(); }, 3},
        {"qua_Text", "-1", [](auto& c) { return c.qualityIndex(); }, -1},
        {"qua_Text", "0", [](auto& c) { return c.qualityIndex(); }, 0},
        {"Left", "-40", [](auto& c) { return c.left(); }, -40},
        {"Top", "99999", [](auto& c) { return c.top(); }, 99999},
    };
    for (const auto& c : cases) {
        platform::FakeRegistry registry;
        registry.setString(kKey, c.name, c.stored);
        EditorControls controls;
        std::string folder;
        ASSERT_TRUE(ReadSettings(registry, controls, folder));
        EXPECT_EQ(c.shown(controls), c.expected) << c.name << " = \"" << c.stored << "\"";
    }
}

TEST(ReadSettings, TheLastTrueModeWinsAndAllFalseLeavesNone)
{
    const struct {
        const char *play1, *rnd, *one;
        bool expectPlay1, expectRnd, expectOne;
    } cases[] = {
        {"1", "1", "1", false, false, true},  {"1", "1", "0", false, true, false}, {"1", "0", "0", true, false, false},
        {"0", "0", "0", false, false, false}, {"0", "1", "0", false, true, false}, {"1", "0", "1", false, false, true},
    };
    for (const auto& c : cases) {
        platform::FakeRegistry registry;
        registry.setString(kKey, "Play1_Checked", c.play1);
        registry.setString(kKey, "Rnd_Checked", c.rnd);
        registry.setString(kKey, "One_Checked", c.one);
        EditorControls controls;
        std::string folder;
        ASSERT_TRUE(ReadSettings(registry, controls, folder));
        EXPECT_EQ(controls.play1(), c.expectPlay1) << c.play1 << c.rnd << c.one;
        EXPECT_EQ(controls.rnd(), c.expectRnd) << c.play1 << c.rnd << c.one;
        EXPECT_EQ(controls.one(), c.expectOne) << c.play1 << c.rnd << c.one;
    }
}

TEST(ReadSettings, RaisesTheHandlersAsAUsersChangeWould)
{
    platform::FakeRegistry registry;
    registry.setString(kKey, "mute_Checked", "1");
    registry.setString(kKey, "timer", "9");
    registry.setString(kKey, "Path", "/lists");
    CountedControls c;
    std::string folder;
    ASSERT_TRUE(ReadSettings(registry, c.controls, folder));
    EXPECT_EQ(c.muteClicks, 1);
    EXPECT_EQ(c.timerChanges, 1);
    EXPECT_EQ(c.moves, 2);
    EXPECT_EQ(folder, "/lists");
}

TEST(ReadSettings, ANonStringValueStopsTheReadWhereItStands)
{
    platform::FakeRegistry registry;
    registry.setString(kKey, "mute_Checked", "1");
    registry.setNonString(kKey, "qua_Text");
    registry.setString(kKey, "timer", "50");
    EditorControls controls;
    std::string folder = "before";
    Status read = ReadSettings(registry, controls, folder);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.message(), "Invalid data type for 'qua_Text'");
    EXPECT_TRUE(controls.mute()) << "values before the failing one are loaded";
    EXPECT_EQ(controls.scaleIndex(), 0);
    EXPECT_EQ(controls.qualityIndex(), -1) << "the failing one and later ones keep the design state";
    EXPECT_EQ(controls.timer(), 5);
    EXPECT_EQ(folder, "before");
}

TEST(ReadPlayerSettings, FirstRunPlaysTheFirstMovieOnly)
{
    platform::FakeRegistry registry;
    Result<StoredSettings> settings = readPlayerSettings(registry);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->play1);
    EXPECT_FALSE(settings->rnd);
    EXPECT_FALSE(settings->one);
    EXPECT_TRUE(settings->loop);
    EXPECT_EQ(settings->timer, 5);

    registry.setString(kKey, "One_Checked", "1");
    registry.setString(kKey, "scale_Text", "9");
    EXPECT_TRUE(readPlayerSettings(registry)->one);
    EXPECT_EQ(readPlayerSettings(registry)->scale, 9) << "the player takes the stored index as it is";
}

TEST(WriteSettings, WritesTheTenValuesInOrderAsText)
{
    platform::FakeRegistry registry;
    EditorControls controls;
    controls.setScaleIndex(7); // out of range: no selection
    controls.setRnd(true);
    controls.setTimer(42);
    controls.notePosition(-10, 300);
    ASSERT_TRUE(WriteSettings(registry, controls));
    EXPECT_EQ(registry.writes,
              (std::vector<std::string>{"loop_Checked", "mute_Checked", "scale_Text", "qua_Text", "Play1_Checked",
                                        "Rnd_Checked", "One_Checked", "timer", "Left", "Top"}));
    EXPECT_EQ(registry.stored(kKey, "loop_Checked"), "0");
    EXPECT_EQ(registry.stored(kKey, "scale_Text"), "-1");
    EXPECT_EQ(registry.stored(kKey, "qua_Text"), "-1");
    EXPECT_EQ(registry.stored(kKey, "Play1_Checked"), "0");
    EXPECT_EQ(registry.stored(kKey, "Rnd_Checked"), "1");
    EXPECT_EQ(registry.stored(kKey, "timer"), "42");
    EXPECT_EQ(registry.stored(kKey, "Left"), "-10");
    EXPECT_EQ(registry.stored(kKey, "Path"), std::nullopt) << "Path is never written";
}

TEST(WriteSettings, StopsAtTheFirstFailure)
{
    platform::FakeRegistry registry;
    registry.failSetValue = "Rnd_Checked";
    Status written = WriteSettings(registry, EditorControls());
    ASSERT_FALSE(written);
    EXPECT_EQ(written.message(), "Failed to set data for 'Rnd_Checked'");
    EXPECT_EQ(registry.writes.size(), 5u);

    platform::FakeRegistry noKey;
    noKey.failCreateKey = kKey;
    EXPECT_EQ(WriteSettings(noKey, EditorControls()).message(),
              "Failed to create key Software\\Corvane\\Lumo ScreenSaver");
}

TEST(ListFiles, RowsBecomeLinesAndBack)
{
    const std::vector<PlaylistRow> rows = {{"x.swf", true}, {"y.swf", false}, {"z.swf", true}};
    EXPECT_EQ(fileListLines(rows), (std::vector<std::string>{"-1;x.swf", "0;y.swf", "-1;z.swf"}));
    EXPECT_EQ(playListLines(rows), (std::vector<std::string>{"x.swf", "z.swf"}));
    EXPECT_EQ(rowsFromFileList(fileListLines(rows)), rows);

    const std::vector<std::string> lines
        = {"-1;C:\\a;b.swf", "1;C:\\x.swf", "0;", "", "-1", "0", "-1 ;a", "0;http://h/m.swf"};
    EXPECT_EQ(rowsFromFileList(lines),
              (std::vector<PlaylistRow>{{"C:\\a;b.swf", true}, {"", false}, {"http://h/m.swf", false}}));
}

class SaveListFilesTest : public ::testing::Test {
protected:
    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
    platform::FakeRegistry m_registry;
    EditorControls m_controls;
};

TEST_F(SaveListFilesTest, WritesBothFilesAndTheValues)
{
    const std::vector<PlaylistRow> rows = {{"x.swf", true}, {"y.swf", false}, {"z.swf", true}};
    ASSERT_TRUE(SaveListFiles(m_files, m_registry, m_dir.path(), rows, m_controls));
    EXPECT_EQ(test::readFile(m_dir / "FileList.list"), "-1;x.swf\r\n0;y.swf\r\n-1;z.swf\r\n");
    EXPECT_EQ(test::readFile(m_dir / "PlayList.list"), "x.swf\r\nz.swf\r\n");
    EXPECT_EQ(m_registry.writes.size(), 10u);
    EXPECT_EQ(*LoadListFile(m_files, m_dir.path()), rows);

    ASSERT_TRUE(SaveListFiles(m_files, m_registry, m_dir.path(), {}, m_controls));
    EXPECT_EQ(test::readFile(m_dir / "FileList.list"), "");
    EXPECT_EQ(test::readFile(m_dir / "PlayList.list"), "");
    EXPECT_TRUE(LoadListFile(m_files, m_dir.path())->empty());
}

TEST_F(SaveListFilesTest, StopsAtTheFailingStep)
{
    // The list file cannot be created: no value and no play list is written.
    Status saved = SaveListFiles(m_files, m_registry, m_dir / "missing", {{"a", true}}, m_controls);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.message().rfind("Cannot create file \"" + (m_dir / "missing/FileList.list") + "\". ", 0), 0u);
    EXPECT_TRUE(m_registry.writes.empty());

    // A value fails: FileList.list is written, PlayList.list is not.
    m_registry.failSetValue = "timer";
    saved = SaveListFiles(m_files, m_registry, m_dir.path(), {{"a", true}}, m_controls);
    EXPECT_EQ(saved.message(), "Failed to set data for 'timer'");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "FileList.list"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "PlayList.list"));
}

TEST_F(SaveListFilesTest, LoadingAMissingListGivesAnEmptyList)
{
    Result<std::vector<PlaylistRow>> rows = LoadListFile(m_files, m_dir / "nowhere");
    ASSERT_TRUE(rows);
    EXPECT_TRUE(rows->empty());
}

} // namespace lumo::app
