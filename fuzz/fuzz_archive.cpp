// The archive reader: any bytes list or fail cleanly, and unpacking them (into a scratch folder)
// never writes outside it.
#include "formats/ArchiveReader.h"
#include "formats/ZlibArchive.h"

#include "common/DeleteFolderTree.h"
#include "platform/posix/PosixFileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static lumo::platform::PosixFileSystem files;
    static const std::string scratch = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo-fuzz-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    lumo::formats::MemoryInput listed(bytes);
    (void)lumo::formats::listArchive(listed, "fuzz");

    const std::string destination = scratch + "/out";
    lumo::formats::ZlibMultiple zip(files);
    lumo::formats::MemoryInput unpacked(bytes);
    (void)zip.DecompressStream(unpacked, destination, true, true, "fuzz");
    // Only the destination may have appeared in the scratch folder.
    for (const auto& entry : std::filesystem::directory_iterator(scratch))
        if (entry.path().filename() != "out")
            std::abort();
    lumo::DeleteFolderTree(files, destination, true, false, true);
    return 0;
}
