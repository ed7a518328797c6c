#include "common/FolderSearch.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/StubFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace lumo {

namespace {

std::vector<std::string> found(platform::FileSystem& files, const std::string& root, int abortAfter = -1)
{
    std::vector<std::string> paths;
    int steps = 0;
    searchFlashFiles(files, root,
                     {{},
                      [&] { return abortAfter < 0 || steps++ < abortAfter; },
                      [&](const std::string& path) { paths.push_back(path.substr(root.size())); }});
    return paths;
}

// Folders as the listing gives them, in a chosen order, with Windows' attributes.
class ListedFileSystem final : public test::StubFileSystem {
public:
    std::map<std::string, std::vector<platform::FolderEntry>> folders; // a missing folder cannot be listed
    bool isFolder(const std::string& path) override { return folders.count(path) != 0; }
    std::optional<std::vector<platform::FolderEntry>> list(const std::string& folder) override
    {
        const auto it = folders.find(folder);
        if (it == folders.end())
            return std::nullopt;
        return it->second;
    }
};

} // namespace

TEST(FolderSearch, FilesOfAFolderFirstThenItsSubFoldersDepthFirstInListingOrder)
{
    ListedFileSystem files;
    files.folders["/r"] = {{"sub", true}, {"b.SWF", false}, {"notes.txt", false}, {"a.swf", false}, {"second", true}};
    files.folders["/r/sub"] = {{"deep", true}, {"c.swf", false}};
    files.folders["/r/sub/deep"] = {{"d.Swf", false}};
    files.folders["/r/second"] = {{"e.swf", false}, {"x.swf.bak", false}, {".swf", false}};
    EXPECT_EQ(found(files, "/r"),
              (std::vector<std::string>{"/b.SWF", "/a.swf", "/sub/c.swf", "/sub/deep/d.Swf", "/second/e.swf",
                                        "/second/.swf"}));
}

TEST(FolderSearch, SkipsHiddenSystemFoldersAndUnlistableOnesAndStopsWhenAsked)
{
    ListedFileSystem files;
    platform::FolderEntry hiddenSystem{"$Recycle", true, false, true};
    files.folders["/r"] = {hiddenSystem, {"locked", true}, {"open", true}, {"a.swf", false}};
    files.folders["/r/$Recycle"] = {{"gone.swf", false}};
    files.folders["/r/open"] = {{"b.swf", false}};
    EXPECT_EQ(found(files, "/r"), (std::vector<std::string>{"/a.swf", "/open/b.swf"}));

    int visited = 0;
    const bool ended
        = searchFlashFiles(files, "/r", {[&](const std::string&) { ++visited; }, [] { return false; }, {}});
    EXPECT_FALSE(ended);
    EXPECT_EQ(visited, 1) << "the abort comes before the first entry is looked at";
    EXPECT_EQ(found(files, "/r", 4), (std::vector<std::string>{"/a.swf"})) << "what was found before the abort";
}

TEST(FolderSearch, OnDiskHiddenFilesAreFoundAndLinksAreNeverFollowed)
{
    test::TempDir dir;
    test::writeFile(dir / "tree/.hidden.swf", "x");
    test::writeFile(dir / "tree/.config/in-hidden-folder.swf", "x");
    std::filesystem::create_directory_symlink(dir / "tree", dir / "tree/loop");
    platform::PosixFileSystem files;
    std::vector<std::string> paths = found(files, dir / "tree");
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/.config/in-hidden-folder.swf", "/.hidden.swf"}));
}

} // namespace lumo
