// Peak memory while packing a large tree to a file: makes the tree (default 1 GiB in 64 MiB files,
// under the temporary folder; lumo_pack_memory TOTAL_MIB FILE_MIB for others, 1024 1024 for one
// 1 GiB movie), packs it, and prints the peak resident size.
#include "formats/ZlibArchive.h"

#include "platform/posix/PosixFileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    const long long totalMiB = argc > 1 ? std::atoll(argv[1]) : 1024;
    const long long fileMiB = argc > 2 ? std::max(1LL, std::atoll(argv[2])) : 64;
    const std::string root = (std::filesystem::temp_directory_path() / "lumo-pack-memory").string();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/tree/sub");
    std::mt19937 random(1);
    std::string chunk(1 << 20, '\0');
    for (long long file = 0; file * fileMiB < totalMiB; ++file) {
        std::ofstream out(root + (file % 2 ? "/tree/sub/f" : "/tree/f") + std::to_string(file) + ".bin",
                          std::ios::binary);
        for (long long mib = 0; mib < fileMiB; ++mib) {
            for (size_t i = 0; i < chunk.size(); i += 4)
                chunk[i] = static_cast<char>(random() % 16); // compressible, not trivially
            out << chunk;
        }
    }
    struct rusage before { };
    ::getrusage(RUSAGE_SELF, &before);
    lumo::platform::PosixFileSystem files;
    lumo::formats::ZlibMultiple zip(files);
    const auto start = std::chrono::steady_clock::now();
    const lumo::Status packed = zip.CompressDirectory(root + "/tree", true, root + "/tree.lis");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage after { };
    ::getrusage(RUSAGE_SELF, &after);
    std::printf("packed %lld MiB in %.1f s: %s; peak resident %ld MiB (before packing %ld MiB), archive %lld MiB\n",
                totalMiB, seconds, packed ? "ok" : packed.message().c_str(), after.ru_maxrss / 1024,
                before.ru_maxrss / 1024, static_cast<long long>(std::filesystem::file_size(root + "/tree.lis") >> 20));
    std::filesystem::remove_all(root);
    return packed ? 0 : 1;
}
