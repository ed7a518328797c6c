#include "formats/ZlibArchive.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include "support/Hex.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <random>

namespace lumo::formats {

namespace fs = std::filesystem;

namespace {

using test::hex;

// A member record built by hand, for archives no packer would write.
std::string member(const std::string& folder, const std::string& name, const std::string& zlibData, std::int32_t size)
{
    std::string out;
    out += static_cast<char>(folder.size());
    out += folder;
    out += static_cast<char>(name.size());
    out += name;
    for (const std::uint32_t v : {static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(zlibData.size())})
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out + zlibData;
}

const std::string kAbcStream("\x78\x9C\x4B\x4C\x4A\x06\x00\x02\x4D\x01\x27", 11);

// Hands out at most 31 bytes a read, as a slow stream would.
class TrickleInput final : public platform::InputFile {
public:
    explicit TrickleInput(std::string bytes)
        : m_inner(std::move(bytes))
    {
    }
    Result<size_t> read(char* buffer, size_t size) override { return m_inner.read(buffer, std::min<size_t>(size, 31)); }
    std::uint64_t size() const override { return m_inner.size(); }

private:
    MemoryInput m_inner;
};

struct Recorder {
    std::vector<std::string> events;
    void attach(ZlibMultiple& zip)
    {
        zip.OnCompressingFile
            = [this](const std::string& f) { events.push_back("compressing " + fs::path(f).filename().string()); };
        zip.OnCompressedFile
            = [this](const std::string& f) { events.push_back("compressed " + fs::path(f).filename().string()); };
        zip.OnProgress = [this](std::int32_t p, std::int32_t t) {
            events.push_back("progress " + std::to_string(p) + "/" + std::to_string(t));
        };
        zip.OnDecompressingFile = [this](const std::string& f, bool&) {
            events.push_back("decompressing " + fs::path(f).filename().string());
        };
        zip.OnDecompressedFile = [this](const std::string& f, std::uint32_t size) {
            events.push_back("decompressed " + fs::path(f).filename().string() + " " + std::to_string(size));
        };
        zip.OnCompletedAction = [this] { events.push_back("completed"); };
    }
};

class ZlibArchiveTest : public ::testing::Test {
protected:
    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
    ZlibMultiple m_zip{m_files};
    Recorder m_recorder;
};

} // namespace

TEST_F(ZlibArchiveTest, PacksTheKnownBytes)
{
    test::writeFile(m_dir / "in/a.txt", "abc");
    Result<std::string> archive = m_zip.CompressDirectory(m_dir / "in", true);
    ASSERT_TRUE(archive) << archive.message();
    EXPECT_EQ(hex(*archive), "00 05 61 2E 74 78 74 03 00 00 00 0B 00 00 00 78 9C 4B 4C 4A 06 00 02 4D 01 27");

    fs::remove(m_dir / "in/a.txt");
    test::writeFile(m_dir / "in/e", "");
    EXPECT_EQ(hex(*m_zip.CompressDirectory(m_dir / "in", true)),
              "00 01 65 00 00 00 00 08 00 00 00 78 9C 03 00 00 00 00 01");
}

TEST_F(ZlibArchiveTest, MembersAreTheSameZlibStreamAsOneCallOfTheLibraryMakes)
{
    std::mt19937 random(3);
    std::string data(300000, '\0');
    for (char& c : data)
        c = static_cast<char>(random() % 7 == 0 ? random() : 'a' + random() % 3);
    test::writeFile(m_dir / "in/big.bin", data);
    const std::string archive = *m_zip.CompressDirectory(m_dir / "in", true);

    uLongf size = compressBound(data.size());
    std::string expected(size, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(expected.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                        data.size(), 6),
              Z_OK);
    expected.resize(size);
    EXPECT_TRUE(archive.substr(2 + 7 + 8) == expected) << "level 6, window 15, memory level 8, default strategy";
}

TEST_F(ZlibArchiveTest, StoresSubfoldersWithABackslashAndOnlyWhenAsked)
{
    test::writeFile(m_dir / "in/Logo/Logos.swf", "logo");
    fs::create_directories(m_dir / "in/empty/deeper");
    const std::string archive = *m_zip.CompressDirectory(m_dir / "in", true);
    EXPECT_EQ(archive.substr(0, 16), std::string("\x05Logo\\\x09Logos.swf", 16));
    EXPECT_EQ(m_zip.CompressDirectory(m_dir / "in", false)->size(), 0u) << "only the root's own files";
    m_zip.StorePaths = false;
    EXPECT_EQ(m_zip.CompressDirectory(m_dir / "in", true)->substr(0, 11), std::string("\x00\x09Logos.swf", 11));
}

TEST_F(ZlibArchiveTest, WalksDepthFirstInListingOrder)
{
    for (const char* f : {"a.swf", "sub/x.swf", "sub/deep/y.swf", "sub/z.swf", "b.swf", "c.swf"})
        test::writeFile(m_dir / (std::string("in/") + f), f);
    // What the walk must give: the listing order, each folder's members where it was met.
    std::vector<std::string> expected;
    std::function<void(const std::string&, const std::string&)> walk
        = [&](const std::string& folder, const std::string& relative) {
              const auto entries = m_files.list(folder);
              for (const auto& e : *entries) {
                  if (e.isFolder)
                      walk(folder + "/" + e.name, relative + e.name + "\\");
                  else
                      expected.push_back(relative + e.name);
              }
          };
    walk(m_dir / "in", "");

    platform::PosixFileSystem files;
    MemoryInput input(*m_zip.CompressDirectory(m_dir / "in", true));
    std::vector<std::string> unpacked;
    m_zip.OnDecompressedFile
        = [&](const std::string& f, std::uint32_t) { unpacked.push_back(fs::relative(f, m_dir / "out").string()); };
    ASSERT_TRUE(m_zip.DecompressStream(input, m_dir / "out", true, true));
    for (std::string& name : expected)
        std::replace(name.begin(), name.end(), '\\', '/');
    EXPECT_EQ(unpacked, expected);
}

TEST_F(ZlibArchiveTest, RaisesTheEventsWithTheirArguments)
{
    test::writeFile(m_dir / "in/big.bin", std::string(2500, 'x'));
    m_recorder.attach(m_zip);
    ASSERT_TRUE(m_zip.CompressDirectory(m_dir / "in", true, m_dir / "archive.lis"));
    EXPECT_EQ(m_recorder.events,
              (std::vector<std::string>{"compressing big.bin", "progress 1024/2500", "progress 2048/2500",
                                        "progress 2500/2500", "progress 2500/2500", "compressed big.bin"}));
    m_recorder.events.clear();
    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "archive.lis", m_dir / "out", true, true));
    EXPECT_EQ(m_recorder.events,
              (std::vector<std::string>{"decompressing big.bin", "progress 1024/2500", "progress 2048/2500",
                                        "progress 2500/2500", "progress 2500/2500", "decompressed big.bin 2500",
                                        "completed"}));
    EXPECT_EQ(test::readFile(m_dir / "out/big.bin"), std::string(2500, 'x'));

    // No completion event after DecompressStream, and only progress (0, 0) for an empty file.
    MemoryInput empty(member("", "e", std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8), 0));
    m_recorder.events.clear();
    ASSERT_TRUE(m_zip.DecompressStream(empty, m_dir / "out", true, true));
    EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"decompressing e", "progress 0/0", "decompressed e 0"}));
    EXPECT_TRUE(fs::exists(m_dir / "out/e"));
}

TEST_F(ZlibArchiveTest, EmptyFoldersAndEmptyArchives)
{
    fs::create_directories(m_dir / "in/only/folders");
    m_recorder.attach(m_zip);
    ASSERT_TRUE(m_zip.CompressDirectory(m_dir / "in", true, m_dir / "empty.lis"));
    EXPECT_EQ(fs::file_size(m_dir / "empty.lis"), 0u);
    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "empty.lis", m_dir / "out", true, true));
    EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"completed"}));
    EXPECT_FALSE(fs::exists(m_dir / "out"));
}

TEST_F(ZlibArchiveTest, AnArchiveInsideThePackedFolderNeverPacksItself)
{
    test::writeFile(m_dir / "stage/movie.swf", "movie");
    test::writeFile(m_dir / "stage/file.lis", "the old archive");
    ASSERT_TRUE(m_zip.CompressDirectory(m_dir / "stage", true, m_dir / "stage/file.lis"));
    std::vector<std::string> names;
    m_zip.OnDecompressedFile = [&](const std::string& f, std::uint32_t) { names.push_back(fs::path(f).filename()); };
    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "stage/file.lis", m_dir / "out", true, true));
    EXPECT_EQ(names, std::vector<std::string>{"movie.swf"});
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "stage"), {}), 2) << "no temporary file is left";
}

TEST_F(ZlibArchiveTest, AFailedPackLeavesNeitherArchiveNorTemporaryFile)
{
    test::writeFile(m_dir / "in/ok.swf", "fine");
    test::writeFile(m_dir / "in/\xE6\x97\xA5.swf", "a name Windows-1252 cannot hold");
    test::writeFile(m_dir / "old.lis", "old");
    Status packed = m_zip.CompressDirectory(m_dir / "in", true, m_dir / "old.lis");
    ASSERT_FALSE(packed);
    EXPECT_NE(packed.message().find(m_dir / "in/\xE6\x97\xA5.swf"), std::string::npos) << packed.message();
    EXPECT_EQ(test::readFile(m_dir / "old.lis"), "old") << "the old archive stays as it was";
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), {}), 2) << "in/ and old.lis, no temporary file";

    // No file system holds a name over 255 bytes, but a folder path can be.
    fs::remove(m_dir / "in/\xE6\x97\xA5.swf");
    test::writeFile(m_dir / ("in/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/x"), "x");
    packed = m_zip.CompressDirectory(m_dir / "in", true, m_dir / "a.lis");
    EXPECT_NE(packed.message().find("longer than the 255 bytes"), std::string::npos) << packed.message();
}

TEST_F(ZlibArchiveTest, UnpacksIntoSubfoldersHonouringOverwriteAndTheWriteFlag)
{
    test::writeFile(m_dir / "in/Logo/Logos.swf", "logo");
    test::writeFile(m_dir / "in/param.lis", "params");
    ASSERT_TRUE(m_zip.CompressDirectory(m_dir / "in", true, m_dir / "a.lis"));

    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "a.lis", m_dir / "flat", true, false));
    EXPECT_EQ(test::readFile(m_dir / "flat/Logos.swf"), "logo");
    EXPECT_TRUE(fs::is_directory(m_dir / "flat/Logo")) << "the folder is made even when paths are dropped";

    test::writeFile(m_dir / "out/param.lis", "mine");
    m_recorder.attach(m_zip);
    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "a.lis", m_dir / "out", false, true));
    EXPECT_EQ(test::readFile(m_dir / "out/param.lis"), "mine");
    EXPECT_EQ(test::readFile(m_dir / "out/Logo/Logos.swf"), "logo");
    for (const std::string& e : m_recorder.events)
        EXPECT_EQ(e.find("param.lis"), std::string::npos) << "a skipped member raises nothing: " << e;

    m_recorder.events.clear();
    m_zip.OnDecompressingFile = [&](const std::string&, bool& write) { write = false; };
    ASSERT_TRUE(m_zip.DecompressFile(m_dir / "a.lis", m_dir / "none", true, true));
    EXPECT_FALSE(fs::exists(m_dir / "none/param.lis"));
    std::sort(m_recorder.events.begin(), m_recorder.events.end() - 1);
    EXPECT_EQ(m_recorder.events,
              (std::vector<std::string>{"decompressed Logos.swf 4", "decompressed param.lis 6", "completed"}));
}

TEST_F(ZlibArchiveTest, RoundTripsATreeReadInOddSizedPieces)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> tree;
    for (int i = 0; i < 12; ++i) {
        std::string data(random() % 5000 + (i == 3 ? 70000 : 0), '\0');
        for (char& c : data)
            c = static_cast<char>(random() % (i % 2 ? 4 : 256));
        tree.emplace_back((i % 3 ? "d" + std::to_string(i % 3) + "/" : "") + "f" + std::to_string(i) + ".bin", data);
    }
    for (const auto& [name, data] : tree)
        test::writeFile(m_dir / ("in/" + name), data);
    TrickleInput input(*m_zip.CompressDirectory(m_dir / "in", true));
    ASSERT_TRUE(m_zip.DecompressStream(input, m_dir / "out", true, true));
    for (const auto& [name, data] : tree)
        EXPECT_EQ(test::readFile(m_dir / ("out/" + name)), data) << name;
}

TEST_F(ZlibArchiveTest, RefusesMembersThatWouldLandOutsideTheDestination)
{
    const struct {
        std::string folder, name, mentions;
    } cases[] = {
        {"\\", "x.txt", "absolute"},
        {"/etc/", "x.txt", "absolute"},
        {"\\\\server\\share\\", "x.txt", "absolute"},
        {"\\\\?\\C:\\", "x.txt", "absolute"},
        {"C:\\", "x.txt", "':'"},
        {"..\\", "x.txt", "\"..\""},
        {"a\\..\\..\\", "x.txt", "\"..\""},
        {"a/../../", "x.txt", "\"..\""},
        {"", "..", "no file name"},
        {"", "", "no file name"},
        {"", "a\\b.txt", "separator"},
        {"", "../x.txt", "separator"},
        {"", "x:stream", "':'"},
        {"", "what?.txt", "'?'"},
        {"", "bell\x07.txt", "control character"},
        {"", std::string("esc\x1B[2J\nnul\0", 12) + std::string(230, 'x'), "esc\\x1B[2J\\x0Anul\\x00xxx"},
        {"ok\\bad|dir\\", "x.txt", "'|'"},
        {"", "CON", "Windows device"},
        {"", "nul.txt", "Windows device"},
        {"com1\\", "x.txt", "Windows device"},
        {"", "LPT9.swf", "Windows device"},
        {"", "AUX .txt", "Windows device"},
        {"", "dot.", "ends in a dot or a space"},
        {"trail \\", "x.txt", "ends in a dot or a space"},
    };
    for (const auto& c : cases) {
        MemoryInput input(member("", "first.txt", kAbcStream, 3) + member(c.folder, c.name, kAbcStream, 3));
        const std::string out = m_dir / "out";
        fs::remove_all(out);
        Status unpacked = m_zip.DecompressStream(input, out, true, true, "\"crafted.lis\"");
        ASSERT_FALSE(unpacked) << c.folder << c.name;
        EXPECT_NE(unpacked.message().find("is refused"), std::string::npos) << unpacked.message();
        EXPECT_NE(unpacked.message().find(c.mentions), std::string::npos) << unpacked.message();
        EXPECT_NE(unpacked.message().find("crafted.lis"), std::string::npos);
        // A name that carries control characters is shown escaped: the message stays one line.
        EXPECT_EQ(unpacked.message().find_first_of(std::string("\x07\x1B\n\0", 4)), std::string::npos)
            << unpacked.message();
        // From a stream, members before it stay; nothing of the refused one exists anywhere.
        EXPECT_EQ(test::readFile(out + "/first.txt"), "abc");
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(out), {}), 1) << c.folder << c.name;
        // From a file, the headers are read first: nothing at all is written.
        test::writeFile(m_dir / "crafted.lis", member("", "first.txt", kAbcStream, 3) + member(c.folder, c.name, kAbcStream, 3));
        fs::remove_all(out);
        unpacked = m_zip.DecompressFile(m_dir / "crafted.lis", out, true, true);
        EXPECT_NE(unpacked.message().find("is refused"), std::string::npos) << unpacked.message();
        EXPECT_FALSE(fs::exists(out)) << c.folder << c.name;
    }
    EXPECT_FALSE(fs::exists(m_dir / "x.txt"));
}

TEST_F(ZlibArchiveTest, PacksNoNameItsOwnUnpackingWouldRefuse)
{
    for (const char* bad : {"what?.swf", "CON.txt", "trailing.", "new\nline"}) {
        fs::remove_all(m_dir / "in");
        test::writeFile(m_dir / "in/ok.swf", "fine");
        test::writeFile(m_dir / (std::string("in/") + bad), "x");
        Status packed = m_zip.CompressDirectory(m_dir / "in", true, m_dir / "a.lis");
        ASSERT_FALSE(packed) << bad;
        EXPECT_NE(packed.message().find("Windows would not take its name"), std::string::npos) << packed.message();
        EXPECT_FALSE(fs::exists(m_dir / "a.lis"));
    }
}

TEST_F(ZlibArchiveTest, AMemberThatFailsLeavesTheOldFileOfItsNameWhole)
{
    std::string corrupt = kAbcStream;
    corrupt[4] = '\xFF';
    test::writeFile(m_dir / "out/a.txt", "the user's a");
    test::writeFile(m_dir / "damaged.lis", member("", "a.txt", corrupt, 3));
    ASSERT_FALSE(m_zip.DecompressFile(m_dir / "damaged.lis", m_dir / "out", true, true));
    EXPECT_EQ(test::readFile(m_dir / "out/a.txt"), "the user's a");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "out"), {}), 1) << "no partial file";
}

TEST_F(ZlibArchiveTest, NeverWritesThroughALinkInTheDestination)
{
    test::writeFile(m_dir / "outside/keep.txt", "keep");
    fs::create_directories(m_dir / "out");
    fs::create_directory_symlink(m_dir / "outside", m_dir / "out/Logo");
    fs::create_symlink(m_dir / "outside/keep.txt", m_dir / "out/a.txt");

    MemoryInput viaFolder(member("Logo\\", "keep.txt", kAbcStream, 3));
    Status s = m_zip.DecompressStream(viaFolder, m_dir / "out", true, true);
    EXPECT_NE(s.message().find("is a link"), std::string::npos) << s.message();

    // A link, or a file with a second name outside, standing where a member goes: the name is
    // replaced, the file behind it is not written.
    fs::create_hard_link(m_dir / "outside/keep.txt", m_dir / "out/b.txt");
    MemoryInput viaFile(member("", "a.txt", kAbcStream, 3) + member("", "b.txt", kAbcStream, 3));
    ASSERT_TRUE(m_zip.DecompressStream(viaFile, m_dir / "out", true, true));
    EXPECT_FALSE(fs::is_symlink(m_dir / "out/a.txt"));
    EXPECT_EQ(test::readFile(m_dir / "out/a.txt"), "abc");
    EXPECT_EQ(test::readFile(m_dir / "out/b.txt"), "abc");
    EXPECT_EQ(test::readFile(m_dir / "outside/keep.txt"), "keep");
}

TEST_F(ZlibArchiveTest, AFolderSwappedForALinkDuringTheUnpackIsNeverFollowed)
{
    std::string archive;
    for (int i = 0; i < 300; ++i)
        archive += member("sub\\deep\\", "m" + std::to_string(i) + ".txt", kAbcStream, 3);
    test::writeFile(m_dir / "race.lis", archive);
    fs::create_directories(m_dir / "outside/deep");
    const std::string out = m_dir / "out";
    // While unpacking runs, another process keeps putting a link to "outside" where "sub" stands.
    std::atomic<bool> racing{true};
    std::thread racer([&] {
        std::error_code ignored;
        while (racing) {
            fs::rename(out + "/sub", out + "/sub.moved", ignored);
            fs::create_directory_symlink(m_dir / "outside", out + "/sub", ignored);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            fs::remove(out + "/sub", ignored);
            fs::rename(out + "/sub.moved", out + "/sub", ignored);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    // Unpacked again and again for a second and a half: the racer gets its chances.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < until && fs::is_empty(m_dir / "outside/deep")) {
        std::error_code ignored;
        fs::remove_all(out, ignored);
        (void)m_zip.DecompressFile(m_dir / "race.lis", out, true, true); // refusing is fine, following is not
    }
    racing = false;
    racer.join();
    EXPECT_TRUE(fs::is_empty(m_dir / "outside/deep")) << "a member was written through the link";
}

TEST_F(ZlibArchiveTest, DamagedArchivesGiveClearErrors)
{
    const std::string good = member("", "a.txt", kAbcStream, 3);
    std::string corrupt = kAbcStream;
    corrupt[4] = '\xFF';
    const struct {
        std::string archive;
        std::string mentions;
    } cases[] = {
        {good.substr(0, 5), "Stream read error"},
        {good.substr(0, good.size() - 1), "damaged.lis\", member \"a.txt\")"},
        {std::string("\x00\x01", 2), "Stream read error"},
        {member("", "a.txt", kAbcStream, 3).substr(0, 11) + std::string("\xFF\xFF\xFF\x7F", 4), "Stream read error"},
        {member("", "a.txt", kAbcStream, -1), "negative size"},
        {member("", "a.txt", corrupt, 3), "zlib returned: data error"},
        {member("", "a.txt", kAbcStream.substr(0, 6), 3), "zlib returned: buffer error"},
        {member("", "a.txt", kAbcStream, 2), "more than the 2 bytes"},
        {member("", "a.txt", kAbcStream, 4), "inflates to 3 bytes, not the 4"},
    };
    for (const auto& c : cases) {
        test::writeFile(m_dir / "damaged.lis", c.archive);
        Status s = m_zip.DecompressFile(m_dir / "damaged.lis", m_dir / "out", true, true);
        ASSERT_FALSE(s) << hex(c.archive);
        EXPECT_NE(s.message().find(c.mentions), std::string::npos) << s.message() << " / " << c.mentions;
    }
    EXPECT_EQ(m_zip.DecompressFile(m_dir / "missing.lis", m_dir / "out", true, true)
                  .message()
                  .rfind("Cannot open file \"" + (m_dir / "missing.lis") + "\". ", 0),
              0u);
    MemoryInput rootless(good);
    EXPECT_EQ(m_zip.DecompressStream(rootless, "", true, true).message(), "Unable to create directory");
}

} // namespace lumo::formats
