#include "common/DeleteFolderTree.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/StubFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace lumo {

namespace fs = std::filesystem;

TEST(DeleteFolderTree, MissingPathReturnsFalseAndTouchesNothing)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    test::writeFile(dir / "file", "x");
    EXPECT_FALSE(DeleteFolderTree(files, dir / "absent", true, false, true));
    EXPECT_FALSE(DeleteFolderTree(files, dir / "file", true, false, true)); // a file is no folder
    EXPECT_TRUE(fs::exists(dir / "file"));
}

TEST(DeleteFolderTree, RemovesReadOnlyAndHiddenEntriesWhenClearingAttributes)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    const std::string root = dir / "work";
    test::writeFile(root + "/param.lis", "p");
    test::writeFile(root + "/Logo/Logos.swf", "l");
    test::writeFile(root + "/.hidden/deep/x.swf", "x");
    fs::permissions(root + "/Logo/Logos.swf", fs::perms::owner_read, fs::perm_options::replace);
    fs::permissions(root + "/.hidden/deep", fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    fs::permissions(root + "/Logo", fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);

    EXPECT_TRUE(DeleteFolderTree(files, root + "/", true, false, true));
    EXPECT_FALSE(fs::exists(root));
    EXPECT_TRUE(fs::exists(dir.path()));
}

TEST(DeleteFolderTree, KeepsTheRootWhenAskedTo)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    test::writeFile(dir / "FS/a/b.txt", "b");
    test::writeFile(dir / "FS/c.txt", "c");
    EXPECT_TRUE(DeleteFolderTree(files, dir / "FS", false, false, false));
    EXPECT_TRUE(fs::is_empty(dir / "FS"));
}

TEST(DeleteFolderTree, RemovesLinksWithoutFollowingThem)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    test::writeFile(dir / "precious/keep.txt", "keep");
    test::writeFile(dir / "FS/own.txt", "own");
    fs::create_directory_symlink(dir / "precious", dir / "FS/link-to-folder");
    fs::create_symlink(dir / "precious/keep.txt", dir / "FS/link-to-file");
    fs::create_symlink(dir / "nowhere", dir / "FS/dangling");
    fs::create_directory_symlink(dir / "FS", dir / "FS/loop");

    EXPECT_TRUE(DeleteFolderTree(files, dir / "FS", true, false, true));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "FS")));
    EXPECT_EQ(test::readFile(dir / "precious/keep.txt"), "keep");
}

TEST(DeleteFolderTree, ALinkAsTheRootIsNoFolder)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    test::writeFile(dir / "precious/keep.txt", "keep");
    fs::create_directory_symlink(dir / "precious", dir / "FS");
    EXPECT_FALSE(DeleteFolderTree(files, dir / "FS/", true, false, true));
    EXPECT_TRUE(fs::exists(dir / "precious/keep.txt"));
}

// A file system whose removals fail for chosen names, to show how the result is formed.
class ScriptedFileSystem final : public test::StubFileSystem {
public:
    std::map<std::string, std::vector<platform::FolderEntry>> folders;
    std::vector<std::string> failing;
    std::vector<std::string> log;

    bool isFolder(const std::string& path) override { return folders.count(path + "/") != 0; }
    bool exists(const std::string&) override { return true; }
    std::optional<std::vector<platform::FolderEntry>> list(const std::string& folder) override
    {
        return folders.at(folder);
    }
    bool clearAttributes(const std::string& path) override
    {
        log.push_back("clear " + path);
        return true;
    }
    bool removeFile(const std::string& path) override { return act("delete " + path, path); }
    bool removeEmptyFolder(const std::string& path) override { return act("rmdir " + path, path); }

private:
    bool act(const std::string& what, const std::string& path)
    {
        log.push_back(what);
        return std::find(failing.begin(), failing.end(), path) == failing.end();
    }
};

TEST(DeleteFolderTree, ResultReflectsTheEntryHandledLast)
{
    ScriptedFileSystem files;
    files.folders["/w/"] = {{"a", false, false}, {"b", false, false}};
    files.failing = {"/w/a"};
    // A failure followed by a success gives true; the folder is then not empty, so removing it fails.
    EXPECT_TRUE(DeleteFolderTree(files, "/w", false, false, false));
    files.failing = {"/w/a", "/w"};
    EXPECT_FALSE(DeleteFolderTree(files, "/w", false, false, true));
    files.failing = {"/w/b"};
    EXPECT_FALSE(DeleteFolderTree(files, "/w", false, false, true));
    EXPECT_NE(files.log.back(), "rmdir /w") << "a failed last entry keeps the root";
}

TEST(DeleteFolderTree, StopOnErrorEndsAtTheFirstFailure)
{
    ScriptedFileSystem files;
    files.folders["/w/"] = {{"a", false, false}, {"sub", true, false}, {"c", false, false}};
    files.folders["/w/sub/"] = {{"x", false, false}};
    files.failing = {"/w/sub/x"};
    EXPECT_FALSE(DeleteFolderTree(files, "/w", true, true, true));
    EXPECT_EQ(
        files.log,
        (std::vector<std::string>{"clear /w/a", "delete /w/a", "clear /w/sub", "clear /w/sub/x", "delete /w/sub/x"}));
}

TEST(DeleteFolderTree, ClearsAttributesBeforeEachRemovalButNeverOnALink)
{
    ScriptedFileSystem files;
    files.folders["/w/"] = {{"ro", false, false}, {"link", false, true}};
    EXPECT_TRUE(DeleteFolderTree(files, "/w", true, false, true));
    EXPECT_EQ(files.log, (std::vector<std::string>{"clear /w/ro", "delete /w/ro", "delete /w/link", "rmdir /w"}));
}

} // namespace lumo
