// Adding a 50 MB RCDATA to the player program, beside copying the resulting file (the floor any
// editor that writes a new file has to pay).
#include "creator/core/ResourceUpdate.h"

#include "platform/posix/PosixFileSystem.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

const std::string& folder()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "lumo-bench-pe").string();
        std::filesystem::create_directories(p);
        std::string data(50 << 20, '\0');
        std::mt19937 random(5);
        for (char& c : data)
            c = static_cast<char>(random());
        std::ofstream(p + "/file.lis", std::ios::binary) << data;
        return p;
    }();
    return path;
}

void BM_AddFileResource50MB(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    const std::string exe = folder() + "/MySaver.exe";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(LUMO_PLAYER_EXE, exe, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        const lumo::Status added
            = lumo::creator::AddFileResource(files, folder() + "/file.lis", exe, lumo::formats::ResourceId::id(10),
                                             lumo::formats::ResourceId::name("FILELIST"));
        if (!added)
            state.SkipWithError(added.message().c_str());
    }
}

void BM_CopyResultingFile(benchmark::State& state)
{
    const std::string exe = folder() + "/MySaver.exe";
    for (auto _ : state)
        std::filesystem::copy_file(exe, folder() + "/copy.exe", std::filesystem::copy_options::overwrite_existing);
}

} // namespace

BENCHMARK(BM_AddFileResource50MB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyResultingFile)->Unit(benchmark::kMillisecond)->UseRealTime();
