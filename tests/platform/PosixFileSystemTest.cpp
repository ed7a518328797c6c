// Replacing a file: the old bytes stay until the new file is complete and closed.
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(PosixFileSystem, TemporariesOfWritersThatDiedAreRemovedByTheNextWriter)
{
    test::TempDir dir;
    PosixFileSystem files;
    const std::string target = dir / "out.lis";
    // A process that has ended, and one that runs (this one's parent).
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = temporaryNamePrefix(target, static_cast<unsigned long>(gone)) + "a1b2c3";
    const std::string live = temporaryNamePrefix(target, static_cast<unsigned long>(::getppid())) + "d4e5f6";
    const std::string other = dir / "other.lis.lumo-1-x"; // another output's
    for (const std::string& path : {dead, live, other})
        test::writeFile(path, "left");
    ASSERT_TRUE(files.writeFileAtomically(target, "new"));
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_EQ(test::readFile(target), "new");
}

} // namespace lumo::platform
