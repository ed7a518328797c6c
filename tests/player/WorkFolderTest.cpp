#include "player/core/WorkFolder.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

namespace lumo::player {

class WorkFolderTest : public ::testing::Test {
protected:
    std::string projectArchive()
    {
        test::writeFile(dir / "stage/param.lis", "KX");
        test::writeFile(dir / "stage/playl.lis", "a.swf\r\n");
        test::writeFile(dir / "stage/a.swf", "FWS movie");
        test::writeFile(dir / "stage/Logo/Logos.png", "logo");
        return *lib.CompressDirectory(dir / "stage", true);
    }

    test::TempDir dir;
    platform::PosixFileSystem files;
    platform::FakeProgramResources resources;
    formats::ZlibMultiple lib{files};
};

TEST_F(WorkFolderTest, NamesComeFromTheProgramFileAndTheTemporaryFolder)
{
    platform::FakeEnvironment environment;
    environment.program = "/home/u/.wine/drive_c/windows/system32/MySaver.scr";
    environment.variables = {{"TMPDIR", "/var/tmp"}};
    EXPECT_EQ(programFileName(environment), "MySaver.scr");
    EXPECT_EQ(workFolder(environment), "/var/tmp/MySaver.scr");
    EXPECT_EQ(inWorkFolder("C:\\Temp\\MySaver.scr", "\\Logo\\Logos.swf"), "C:\\Temp\\MySaver.scr\\Logo\\Logos.swf");
    EXPECT_EQ(inWorkFolder("/tmp/MySaver.scr", "playl.lis"), "/tmp/MySaver.scr/playl.lis");
}

TEST_F(WorkFolderTest, UnpackingWritesTheResourceAsFilesLisAndExtractsIt)
{
    resources.resources["FILELIST"] = projectArchive();
    const std::string work = dir / "MySaver.scr";
    test::writeFile(work + "/a.swf", "older");
    ASSERT_TRUE(unpackProject(files, resources, work, lib));
    EXPECT_TRUE(test::readFile(work + "/files.lis") == resources.resources["FILELIST"]);
    EXPECT_EQ(test::readFile(work + "/a.swf"), "FWS movie") << "existing files are overwritten";
    EXPECT_EQ(test::readFile(work + "/Logo/Logos.png"), "logo");
    EXPECT_EQ(*readPlayList(files, work), (std::vector<std::string>{"a.swf"}));
    EXPECT_EQ(readParameterFile(files, work, {})->count(), 0u);

    const std::string missing = dir / "none";
    EXPECT_EQ(readParameterFile(files, missing, {}).message().rfind("Cannot open file \"" + missing, 0), 0u);
}

TEST_F(WorkFolderTest, AMissingOrHostileArchiveWritesNothingOutsideTheWorkFolder)
{
    const std::string work = dir / "MySaver.scr";
    EXPECT_EQ(unpackProject(files, resources, work, lib).message(), "Resource FILELIST not found");
    EXPECT_FALSE(std::filesystem::exists(work)) << "nothing is created without the resource";

    // One member whose folder climbs out of the work folder.
    std::string data(64, '\0');
    uLongf size = data.size();
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(data.data()), &size, reinterpret_cast<const Bytef*>("evil"), 4, 6),
              Z_OK);
    data.resize(size);
    std::string member = std::string(1, 3) + "..\\" + std::string(1, 5) + "x.txt";
    for (std::uint32_t v : {4u, static_cast<std::uint32_t>(data.size())})
        for (int k = 0; k < 4; ++k)
            member += static_cast<char>((v >> (8 * k)) & 0xFF);
    resources.resources["FILELIST"] = member + data;
    const Status unpacked = unpackProject(files, resources, work, lib);
    EXPECT_NE(unpacked.message().find("is refused"), std::string::npos) << unpacked.message();
    EXPECT_FALSE(std::filesystem::exists(dir / "x.txt"));
}

} // namespace lumo::player
