#include "formats/FileStorage.h"
#include "formats/RleCodec.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo::formats {

namespace fs = std::filesystem;

namespace {

std::string le32(std::uint32_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

class FileStorageTest : public ::testing::Test {
protected:
    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
    platform::FakeEnvironment m_environment;
    platform::FakeRegistry m_registry;
    StorageServices services() { return {m_files, m_environment, m_registry}; }
};

} // namespace

TEST_F(FileStorageTest, WritesTheCodedLayoutAndReadsItBack)
{
    FileStorage storage(services());
    storage.add("tmp.z", std::string(10, 'A') + "B");
    storage.add("caf\xC3\xA9.txt", "");
    Result<std::string> data = storage.WriteData();
    ASSERT_TRUE(data) << data.message();
    EXPECT_EQ(*data,
              "SFP1" + le32(2) + le32(5) + "tmp.z" + le32(12) + le32(11) + std::string("\x06\x00", 2)
                  + std::string("\x00\x00\x00\x41\x09\x42", 6) + le32(8) + "caf\xE9.txt" + le32(4) + le32(0));

    FileStorage back(services());
    ASSERT_TRUE(back.ReadData(*data, "editor"));
    EXPECT_TRUE(back.coded());
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.file(0).name(), "tmp.z");
    EXPECT_EQ(*back.file(0).bytes(), std::string(10, 'A') + "B");
    EXPECT_EQ(back.file(1).name(), "caf\xC3\xA9.txt");
    EXPECT_EQ(back.DataSize(), 11);
}

TEST_F(FileStorageTest, ReadsTheOlderUncodedLayout)
{
    const std::string old = le32(1) + "????" + le32(3) + "a.z" + le32(5) + "hello";
    FileStorage storage(services());
    ASSERT_TRUE(storage.ReadData(old, "old"));
    EXPECT_FALSE(storage.coded());
    EXPECT_EQ(*storage.file(0).bytes(), "hello");
    // Written again, it takes the coded layout.
    EXPECT_EQ(storage.WriteData()->substr(0, 4), "SFP1");
}

TEST_F(FileStorageTest, DamagedContainersNameTheRecordAndTheFault)
{
    const std::string record = le32(5) + "tmp.z";
    const std::string coded = RlePack("abcdef");
    const struct {
        std::string data;
        std::string mentions;
    } cases[] = {
        {"SF", "shorter than its header"},
        {"SFP1" + le32(0xFFFFFFFF), "count is missing or negative"},
        {"SFP1" + le32(1), "record 0: its name length is missing"},
        {"SFP1" + le32(1) + le32(100) + "tmp.z", "record 0: its name (100 bytes) runs past the end"},
        {"SFP1" + le32(1) + record + le32(1000) + coded, "record 0 (\"tmp.z\"): its data (1000 bytes) runs past"},
        {"SFP1" + le32(1) + record + le32(2) + "ab", "its size is missing"},
        // Two gibibytes declared in twenty bytes: refused, not allocated.
        {"SFP1" + le32(1) + record + le32(4) + le32(0x7FFFFFFF), "ends after 0 of 2147483647 bytes"},
        {"SFP1" + le32(2) + record + le32(static_cast<std::uint32_t>(coded.size())) + coded, "record 1"},
        {"SFP1" + le32(0) + "x", "1 bytes follow the last record"},
    };
    for (const auto& c : cases) {
        FileStorage storage(services());
        Status read = storage.ReadData(c.data, "lumo");
        ASSERT_FALSE(read) << c.mentions;
        EXPECT_EQ(read.message().rfind("The storage \"lumo\" is damaged: ", 0), 0u) << read.message();
        EXPECT_NE(read.message().find(c.mentions), std::string::npos) << read.message();
        EXPECT_EQ(storage.Count(), 0);
    }
}

TEST_F(FileStorageTest, ABlockThatDecodesWrongIsFoundWhenTheFileIsWrittenAndWritesNothing)
{
    // Reading checks that the blocks are there; their contents are decoded as the file is written.
    const std::string coded = RlePack("abcdef");
    const struct {
        std::int32_t size;
        const char* mentions;
    } cases[] = {{7, "decodes to 6 bytes instead of 7"}, {5, "more bytes than the block should"}};
    for (const auto& c : cases) {
        FileStorage storage(services());
        ASSERT_TRUE(storage.ReadData("SFP1" + le32(1) + le32(5) + "tmp.z" + le32(static_cast<std::uint32_t>(coded.size()))
                                         + le32(static_cast<std::uint32_t>(c.size)) + coded.substr(4),
                                     "lumo"));
        test::writeFile(m_dir / "tmp.z", "kept");
        const Status saved = storage.file(0).save(m_dir / "tmp.z", false);
        ASSERT_FALSE(saved);
        EXPECT_EQ(saved.message().rfind("The stored file \"tmp.z\" is damaged: ", 0), 0u) << saved.message();
        EXPECT_NE(saved.message().find(c.mentions), std::string::npos) << saved.message();
        EXPECT_EQ(test::readFile(m_dir / "tmp.z"), "kept");
    }
}

TEST_F(FileStorageTest, ExtractionRaisesItsEventsAndHonoursARefusal)
{
    FileStorage storage(services());
    storage.add("tmp.z", "payload");
    std::vector<std::string> events;
    bool allow = false;
    storage.OnExtract = [&](const std::string& f, std::int32_t size, bool& a) {
        events.push_back("extract " + f + " " + std::to_string(size));
        a = allow;
    };
    storage.OnExtracted = [&](const std::string& f, std::int32_t size, bool ok) {
        events.push_back("extracted " + f + " " + std::to_string(size) + (ok ? " ok" : " failed"));
    };
    const std::string target = m_dir / "a/b/tmp.z";
    EXPECT_TRUE(storage.ExtractFile(0, target)) << "a refusal counts as success";
    EXPECT_FALSE(fs::exists(target));
    allow = true;
    EXPECT_TRUE(storage.ExtractFile(0, target)) << "missing folders are made";
    EXPECT_EQ(test::readFile(target), "payload");
    storage.autoExtract.extractTo.CreatePath = false;
    EXPECT_FALSE(storage.ExtractFile(0, m_dir / "c/tmp.z"));
    EXPECT_FALSE(storage.ExtractFile(1, target));
    EXPECT_EQ(events,
              (std::vector<std::string>{"extract " + target + " 7", "extract " + target + " 7",
                                        "extracted " + target + " 7 ok", "extract " + (m_dir / "c/tmp.z") + " 7",
                                        "extracted " + (m_dir / "c/tmp.z") + " 7 failed"}));
}

TEST_F(FileStorageTest, ExtractFolderFollowsTheToplevelSetting)
{
    m_environment.program = "/opt/lumo/bin/lumo";
    m_environment.windows = "/win";
    m_environment.system = "/win/system32";
    m_environment.variables = {{"TMPDIR", "/scratch"}};
    m_registry.setString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop",
                         "/home/u/Desktop");
    const struct {
        ToplevelDir dir;
        std::string subdirectory;
        std::string expected;
    } cases[] = {
        {ToplevelDir::tdCurrentDir, "", "/opt/lumo/bin/"},
        {ToplevelDir::tdWindowsDir, "x", "/win/x/"},
        {ToplevelDir::tdTempDir, "//lumo", "/scratch/lumo/"},
        {ToplevelDir::tdSystemDir, "", "/win/system32/"},
        {ToplevelDir::tdMediaDir, "", "/win/MEDIA/"},
        {ToplevelDir::tdDesktop, "sub/", "/home/u/Desktop/sub/"},
        {ToplevelDir::tdMyDocuments, "", "/"},
        {ToplevelDir::tdNone, "/out/prefix-", "/out/prefix-"},
    };
    for (const auto& c : cases) {
        FileStorage storage(services());
        storage.autoExtract.extractTo.toplevelDir = c.dir;
        storage.autoExtract.extractTo.Subdirectory = c.subdirectory;
        EXPECT_EQ(storage.GetExtractDir(), c.expected) << static_cast<int>(c.dir);
    }
}

TEST_F(FileStorageTest, AutomaticExtractionFollowsTheOverwriteRuleAndCleansUp)
{
    const std::string folder = m_dir / "auto/";
    const auto run = [&](FileStorageOverwrite rule, bool remove) {
        auto storage = std::make_unique<FileStorage>(services());
        storage->add("same-size.bin", "NEW!");
        storage->add("other-size.bin", "NEW!");
        storage->autoExtract.Enabled = true;
        storage->autoExtract.Overwrite = rule;
        storage->autoExtract.RemoveOnTerminate = remove;
        storage->autoExtract.extractTo.toplevelDir = ToplevelDir::tdNone;
        storage->autoExtract.extractTo.Subdirectory = folder;
        storage->loaded();
        return storage;
    };
    const auto reset = [&] {
        fs::remove_all(folder);
        test::writeFile(folder + "same-size.bin", "old!");
        test::writeFile(folder + "other-size.bin", "old");
    };
    reset();
    run(FileStorageOverwrite::owIfSizeDifferent, false);
    EXPECT_EQ(test::readFile(folder + "same-size.bin"), "old!");
    EXPECT_EQ(test::readFile(folder + "other-size.bin"), "NEW!");
    reset();
    run(FileStorageOverwrite::owNever, false);
    EXPECT_EQ(test::readFile(folder + "other-size.bin"), "old");
    reset();
    run(FileStorageOverwrite::owAlways, false);
    EXPECT_EQ(test::readFile(folder + "same-size.bin"), "NEW!");

    fs::remove_all(folder);
    {
        auto storage = run(FileStorageOverwrite::owAlways, true);
        EXPECT_TRUE(fs::exists(folder + "same-size.bin"));
    }
    EXPECT_FALSE(fs::exists(folder)) << "written files and then their empty folder are removed at the end";
}

TEST_F(FileStorageTest, RefusesNamesWindows1252CannotHold)
{
    FileStorage storage(services());
    storage.add("\xE6\x97\xA5.z", "x");
    Result<std::string> data = storage.WriteData();
    ASSERT_FALSE(data);
    EXPECT_NE(data.message().find("U+65E5"), std::string::npos) << data.message();
}

} // namespace lumo::formats
