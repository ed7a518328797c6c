// Replacing a file: the old bytes stay until the new file is complete and closed.
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace lumo::platform {

TEST(PosixFileSystem, AReplacingFileTakesThePlaceOnlyWhenClosed)
{
    test::TempDir dir;
    PosixFileSystem files;
    const std::string target = dir / "MySaver.exe";
    test::writeFile(target, "old");
    ::chmod(target.c_str(), 0751);

    {
        Result<std::unique_ptr<OutputFile>> dropped = files.replaceFile(target);
        ASSERT_TRUE(dropped) << dropped.message();
        ASSERT_TRUE((*dropped)->write("half"));
    }
    EXPECT_EQ(test::readFile(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file is left";

    Result<std::unique_ptr<OutputFile>> file = files.replaceFile(target);
    ASSERT_TRUE(file);
    ASSERT_TRUE((*file)->write("new bytes"));
    ASSERT_TRUE((*file)->writeAt(4, "BYTES"));
    const Status pastTheEnd = (*file)->writeAt(8, "xy");
    EXPECT_EQ(pastTheEnd.message().rfind("Cannot create file \"" + target + "\". ", 0), 0u) << pastTheEnd.message();
    EXPECT_EQ(test::readFile(target), "old");
    ASSERT_TRUE((*file)->close());
    EXPECT_EQ(test::readFile(target), "new BYTES");
    struct stat st { };
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u) << "the replaced file's mode is kept";

    const Status noFolder = files.writeFileAtomically(dir / "missing/a.lis", "x");
    EXPECT_EQ(noFolder.message().rfind("Cannot create file \"" + dir / "missing/a.lis" + "\". ", 0), 0u);
}

} // namespace lumo::platform
