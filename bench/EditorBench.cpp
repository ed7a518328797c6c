// The editor's playlist at scale: reading and writing a 100,000-row FileList.list, and the search
// for Flash movies in a tree of 100,000 entries beside `find DIR -iname '*.swf'` on the same tree.
#include "common/FolderSearch.h"
#include "app/core/SettingsStore.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// The list folder, apart from the tree so that making the tree does not weigh on writing the list.
const std::string& listFolder()
{
    static const std::string path = [] {
        const fs::path p = fs::temp_directory_path() / "lumo-bench-list";
        fs::create_directories(p);
        return p.string();
    }();
    return path;
}

const std::string& scratch()
{
    static const std::string path = [] {
        const fs::path p = fs::temp_directory_path() / "lumo-bench-editor";
        if (fs::exists(p / "tree" / "group39" / "set24" / "clip98.txt"))
            return p.string(); // made by an earlier run
        fs::remove_all(p);
        // 100,000 entries: 1,000 folders of 99 files, one in ten a movie, in two levels.
        for (int a = 0; a < 40; ++a)
            for (int b = 0; b < 25; ++b) {
                const fs::path folder = p / "tree" / ("group" + std::to_string(a)) / ("set" + std::to_string(b));
                fs::create_directories(folder);
                for (int f = 0; f < 99; ++f)
                    std::ofstream(folder / ("clip" + std::to_string(f) + (f % 10 ? ".txt" : ".SWF")));
            }
        return p.string();
    }();
    return path;
}

std::vector<lumo::app::PlaylistRow> manyRows()
{
    std::vector<lumo::app::PlaylistRow> rows;
    for (int i = 0; i < 100000; ++i)
        rows.push_back(
            {"/home/user/Movies/collection/folder" + std::to_string(i / 100) + "/movie" + std::to_string(i) + ".swf",
             i % 3 != 0});
    return rows;
}

void BM_SaveListFiles100k(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    lumo::platform::FakeRegistry registry;
    lumo::app::EditorControls controls;
    const std::vector<lumo::app::PlaylistRow> rows = manyRows();
    for (auto _ : state) {
        const lumo::Status saved = lumo::app::SaveListFiles(files, registry, listFolder(), rows, controls);
        if (!saved)
            state.SkipWithError(saved.message().c_str());
    }
}

void BM_LoadListFile100k(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    lumo::platform::FakeRegistry registry;
    lumo::app::EditorControls controls;
    if (!lumo::app::SaveListFiles(files, registry, listFolder(), manyRows(), controls))
        state.SkipWithError("the list could not be written");
    for (auto _ : state) {
        auto rows = lumo::app::LoadListFile(files, listFolder());
        if (!rows || rows->size() != 100000)
            state.SkipWithError("the list did not read back");
        benchmark::DoNotOptimize(rows);
    }
}

void BM_FolderSearch100k(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    for (auto _ : state) {
        size_t found = 0;
        lumo::searchFlashFiles(files, scratch() + "/tree",
                                    {{}, [] { return true; }, [&](const std::string&) { ++found; }});
        if (found != 10000)
            state.SkipWithError("the search found the wrong number of movies");
    }
}

void BM_Find100k(benchmark::State& state)
{
    const std::string command = "find '" + scratch() + "/tree' -iname '*.swf' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find failed");
}

} // namespace

BENCHMARK(BM_SaveListFiles100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadListFile100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FolderSearch100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Find100k)->Unit(benchmark::kMillisecond)->UseRealTime();
