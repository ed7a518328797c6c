#include "creator/PlayerCarrier.h"
#include "formats/ArchiveReader.h"
#include "formats/FileStorage.h"
#include "formats/ZlibArchive.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace lumo::creator {

TEST(PlayerCarrier, StoredFileZeroUnpacksToThePlayerProgram)
{
    test::TempDir dir;
    platform::PosixFileSystem files;
    platform::FakeEnvironment environment;
    platform::FakeRegistry registry;
    formats::FileStorage storage({files, environment, registry});
    ASSERT_TRUE(storage.ReadData(carriedStorage(), "lumo"));
    ASSERT_EQ(storage.Count(), 1);
    EXPECT_EQ(storage.file(0).name(), "tmp.z");
    EXPECT_TRUE(storage.coded());

    ASSERT_TRUE(storage.ExtractFile(0, dir / "MySaver.exe.z"));
    formats::MemoryInput archive(test::readFile(dir / "MySaver.exe.z"));
    auto members = formats::listArchive(archive, "tmp.z");
    ASSERT_TRUE(members);
    ASSERT_EQ(members->size(), 1u);
    EXPECT_EQ((*members)[0].folder, "");
    EXPECT_EQ((*members)[0].name, "tmp.exe");

    formats::ZlibMultiple zip(files);
    ASSERT_TRUE(zip.DecompressFile(dir / "MySaver.exe.z", dir.path() + "/", true, true));
    const std::string player = test::readFile(LUMO_PLAYER_EXE);
    ASSERT_GT(player.size(), 0u);
    EXPECT_TRUE(test::readFile(dir / "tmp.exe") == player) << "byte-identical to the built player program";
}

} // namespace lumo::creator
