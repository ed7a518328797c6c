// Throughput of the codec and the archive beside the plain operations they build on: memcpy for
// the codec, raw zlib deflate and inflate (same level and window) for the archive.
#include "formats/RleCodec.h"
#include "formats/ZlibArchive.h"

#include "platform/posix/PosixFileSystem.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// Program-like bytes: all 256 values, short runs of zeros and padding, some text.
std::string programLike(size_t size)
{
    std::mt19937 random(42);
    std::string out;
    out.reserve(size);
    while (out.size() < size) {
        switch (random() % 4) {
        case 0:
            out.append(random() % 40 + 1, '\0');
            break;
        case 1:
            out += "TLumoScreenFrm MAINICON FILELIST ";
            break;
        default:
            for (int i = 0; i < 64; ++i)
                out += static_cast<char>(random());
        }
    }
    out.resize(size);
    return out;
}

const std::string& sample()
{
    static const std::string bytes = programLike(32 << 20);
    return bytes;
}

void BM_Memcpy(benchmark::State& state)
{
    const std::string& in = sample();
    std::string out(in.size(), '\0');
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// The codec's output is a new buffer each time, so the fair floor includes the fresh pages.
void BM_MemcpyFresh(benchmark::State& state)
{
    const std::string& in = sample();
    for (auto _ : state) {
        std::string out(in);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_RleEncode(benchmark::State& state)
{
    const std::string& in = sample();
    for (auto _ : state)
        benchmark::DoNotOptimize(lumo::formats::RlePack(in));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_RleDecode(benchmark::State& state)
{
    const std::string& in = sample();
    const std::string coded = lumo::formats::RlePack(in);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            lumo::formats::RleUnpack(std::string_view(coded).substr(4), static_cast<int64_t>(in.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

std::string rawDeflate(const std::string& in)
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, in.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

const std::string& treeFolder()
{
    static const std::string folder = [] {
        const std::string path = (std::filesystem::temp_directory_path() / "lumo-bench-tree").string();
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path + "/sub");
        std::ofstream(path + "/movie.swf", std::ios::binary) << sample().substr(0, 16 << 20);
        std::ofstream(path + "/sub/logo.swf", std::ios::binary) << sample().substr(16 << 20);
        return path;
    }();
    return folder;
}

void BM_ZlibDeflate(benchmark::State& state)
{
    const std::string& in = sample();
    for (auto _ : state)
        benchmark::DoNotOptimize(rawDeflate(in));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_ArchivePack(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    lumo::formats::ZlibMultiple zip(files);
    const std::string& folder = treeFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(zip.CompressDirectory(folder, true));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample().size()));
}

void BM_ZlibInflate(benchmark::State& state)
{
    const std::string& in = sample();
    const std::string packed = rawDeflate(in);
    std::string out(in.size(), '\0');
    for (auto _ : state) {
        uLongf size = out.size();
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                   packed.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_ArchiveUnpack(benchmark::State& state)
{
    lumo::platform::PosixFileSystem files;
    lumo::formats::ZlibMultiple zip(files);
    const std::string archive = *zip.CompressDirectory(treeFolder(), true);
    const std::string out = treeFolder() + "-out";
    for (auto _ : state) {
        lumo::formats::MemoryInput input(lumo::formats::MemoryInput::View{}, archive);
        benchmark::DoNotOptimize(zip.DecompressStream(input, out, true, true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample().size()));
}

} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RleEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RleDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDeflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchivePack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveUnpack)->Unit(benchmark::kMillisecond);
