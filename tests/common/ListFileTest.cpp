#include "common/ListFile.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo {

using Lines = std::vector<std::string>;

TEST(ListFile, SplitsAtEveryKindOfLineEnd)
{
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}}, // a last line without line end counts
        {"a\rb\nc\r\n", {"a", "b", "c"}}, // lone CR and lone LF end lines too
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two line ends
        {"\r\n\r\n", {"", ""}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}}, // the text ends at the first NUL
        {"x;y\r\n", {"x;y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitListLines(c.bytes), c.lines) << c.bytes;
}

TEST(ListFile, WritesEveryLineWithCrLfAndAnEmptyListAsZeroBytes)
{
    EXPECT_EQ(joinListLines({"-1;x.swf", "0;y.swf"}), "-1;x.swf\r\n0;y.swf\r\n");
    EXPECT_EQ(joinListLines({}), "");
    EXPECT_EQ(joinListLines({""}), "\r\n");
}

TEST(ListFile, RoundTripsThroughTheFileSystemAndLeavesNoTemporaryFile)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    const std::string path = dir / "PlayList.list";
    const Lines lines = {"/movies/a.swf", "http://host/b.swf", "caf\xC3\xA9.swf"};
    ASSERT_TRUE(writeListFile(files, path, lines));
    ASSERT_TRUE(writeListFile(files, path, lines)); // replaces
    EXPECT_EQ(*readListFile(files, path), lines);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    ASSERT_TRUE(writeListFile(files, path, {}));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(ListFile, ReportsFilesThatCannotBeCreatedOrOpened)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    const std::string missingFolder = dir / "no-such-folder/FileList.list";
    Status written = writeListFile(files, missingFolder, {"a"});
    ASSERT_FALSE(written);
    EXPECT_EQ(written.message(), "Cannot create file \"" + missingFolder + "\". No such file or directory.");

    Result<Lines> read = readListFile(files, missingFolder);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.message(), "Cannot open file \"" + missingFolder + "\". No such file or directory.");
}

} // namespace lumo
