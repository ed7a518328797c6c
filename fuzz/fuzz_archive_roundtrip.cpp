// Write then read: files made from the input pack and unpack to the same bytes.
#include "formats/ZlibArchive.h"

#include "common/DeleteFolderTree.h"
#include "platform/posix/PosixFileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static lumo::platform::PosixFileSystem files;
    static const std::string scratch = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumo-fuzz-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    // The input, cut at its 0xFF bytes, gives the files: a few in the root, the rest in a subfolder.
    const std::string in = scratch + "/in";
    std::filesystem::create_directories(in + "/sub");
    std::vector<std::string> contents(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && contents.size() < 8)
            contents.emplace_back();
        else
            contents.back() += static_cast<char>(data[i]);
    }
    for (size_t i = 0; i < contents.size(); ++i)
        std::ofstream(in + (i % 2 ? "/sub/f" : "/f") + std::to_string(i), std::ios::binary) << contents[i];

    lumo::formats::ZlibMultiple zip(files);
    lumo::Result<std::string> archive = zip.CompressDirectory(in, true);
    if (!archive)
        std::abort();
    lumo::formats::MemoryInput stream(*archive);
    if (!zip.DecompressStream(stream, scratch + "/out", true, true))
        std::abort();
    for (size_t i = 0; i < contents.size(); ++i) {
        std::ifstream back(scratch + "/out" + (i % 2 ? "/sub/f" : "/f") + std::to_string(i), std::ios::binary);
        if (std::string(std::istreambuf_iterator<char>(back), {}) != contents[i])
            std::abort();
    }
    lumo::DeleteFolderTree(files, in, true, false, true);
    lumo::DeleteFolderTree(files, scratch + "/out", true, false, true);
    return 0;
}
