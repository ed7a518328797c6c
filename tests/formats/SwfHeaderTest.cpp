#include "formats/SwfHeader.h"
#include "formats/ByteReader.h"
#include "support/SwfBytes.h"

#include <gtest/gtest.h>
#include <lzma.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace lumo::formats {

namespace {

using test::le32;

std::string movie(char signature, const std::string& plain, int version = 10)
{
    const std::string head = std::string(1, signature) + "WS" + static_cast<char>(version) + le32(8 + plain.size());
    if (signature == 'F')
        return head + plain;
    if (signature == 'C') {
        uLongf size = compressBound(plain.size());
        std::string packed(size, '\0');
        compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
                 plain.size());
        packed.resize(size);
        return head + packed;
    }
    // ZWS: liblzma's .lzma stream without its 8-byte size, behind the compressed length.
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        return {};
    std::string out(plain.size() + 1024, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(plain.data());
    stream.avail_in = plain.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    while (lzma_code(&stream, LZMA_FINISH) == LZMA_OK) { }
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    const std::string properties = out.substr(0, 5), data = out.substr(13);
    return head + le32(static_cast<std::uint32_t>(data.size())) + properties + data;
}

} // namespace

TEST(SwfHeader, PlainZlibAndLzmaMoviesGiveTheirFrameRateAndCount)
{
    const std::string plain = test::swfBody(15, 0, 550 * 20, 0, 400 * 20, 24 << 8, 120);
    for (const char signature : {'F', 'C', 'Z'}) {
        const Result<SwfHeader> header = readSwfHeader(movie(signature, plain, 9));
        ASSERT_TRUE(header) << signature << ": " << header.message();
        EXPECT_EQ(header->compression,
                  signature == 'F'       ? SwfHeader::Compression::None
                      : signature == 'C' ? SwfHeader::Compression::Zlib
                                         : SwfHeader::Compression::Lzma);
        EXPECT_EQ(header->version, 9);
        EXPECT_EQ(header->fileLength, 8 + plain.size());
        EXPECT_EQ((std::pair{header->width(), header->height()}), (std::pair{550, 400}));
        EXPECT_DOUBLE_EQ(header->frameRate, 24.0);
        EXPECT_EQ(header->frameCount, 120);
        EXPECT_DOUBLE_EQ(header->seconds(), 5.0);
    }
    // Fractional rates, negative origins, the widest bit count.
    const Result<SwfHeader> odd
        = readSwfHeader(movie('C', test::swfBody(31, -100, 1180, -40, 440, (29 << 8) | 0x80, 7)));
    ASSERT_TRUE(odd) << odd.message();
    EXPECT_EQ((std::pair{odd->widthTwips, odd->heightTwips}), (std::pair{1280, 480}));
    EXPECT_DOUBLE_EQ(odd->frameRate, 29.5);
    EXPECT_EQ(describeSwfHeader(*odd), "64 \xC3\x97 24, 29.5 fps, 7 frames (0.2 s), Flash 10");
}

TEST(SwfHeader, DamagedOrForeignBytesAreRefusedWithTheirReason)
{
    const std::string good = movie('C', test::swfBody(15, 0, 6400, 0, 4800, 12 << 8, 1));
    std::string damaged = good;
    damaged[9] = static_cast<char>(damaged[9] ^ 0x55); // inside the zlib header
    std::string lying = movie('F', test::swfBody(15, 0, 6400, 0, 4800, 12 << 8, 1));
    lying[4] = 2; // a file length smaller than the header
    lying[5] = lying[6] = lying[7] = 0;
    const struct {
        std::string bytes;
        const char* error;
    } cases[] = {
        {"", "not a Flash movie"},
        {"GIF89a", "not a Flash movie"},
        {"fws\x0a\x10\x00\x00\x00", "not a Flash movie"},
        {"FWS\x0a\x10", "the header is cut short"},
        {good.substr(0, 12), "the header is cut short"},
        {movie('F', test::swfBody(15, 0, 6400, 0, 4800, 12 << 8, 1)).substr(0, 14), "the header is cut short"},
        {movie('Z', test::swfBody(15, 0, 6400, 0, 4800, 12 << 8, 1)).substr(0, 14), "the header is cut short"},
        {damaged, "the compressed header is damaged"},
        {lying, "the header is cut short"},
        {movie('F', test::swfBody(15, 0, 0, 0, 4800, 12 << 8, 1)), "the frame size is impossible"},
        {movie('F', test::swfBody(15, 6400, 0, 0, 4800, 12 << 8, 1)), "the frame size is impossible"},
        {movie('F', test::swfBody(31, 0, 0x3FFFFFFF, 0, 4800, 12 << 8, 1)), "the frame size is impossible"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readSwfHeader(c.bytes).message(), c.error) << testing::PrintToString(c.bytes);
}

TEST(SwfHeader, MoviesOfOtherEncodersReadFromTheirFirstBytes)
{
    // The fuzzing seeds (Python's zlib and LZMA) and the third-party corpus, when it is at hand.
    int read = 0;
    std::vector<std::filesystem::path> movies;
    for (const char* folder : {LUMO_SWF_SEEDS, LUMO_SWF_CORPUS})
        if (std::filesystem::is_directory(folder))
            for (const auto& entry : std::filesystem::directory_iterator(folder))
                if (entry.path().extension() == ".swf")
                    movies.push_back(entry.path());
    for (const std::filesystem::path& movie : movies) {
        const std::filesystem::directory_entry entry(movie);
        std::ifstream in(entry.path(), std::ios::binary);
        std::string first(kSwfHeaderBytes, '\0');
        in.read(first.data(), static_cast<std::streamsize>(first.size()));
        first.resize(static_cast<size_t>(in.gcount()));
        const Result<SwfHeader> header = readSwfHeader(first);
        ASSERT_TRUE(header) << entry.path() << ": " << header.message();
        EXPECT_GT(header->width(), 0);
        EXPECT_GE(header->version, 6);
        if (movie.parent_path() == LUMO_SWF_SEEDS) {
            EXPECT_EQ((std::pair{header->width(), header->height()}), (std::pair{550, 400})) << movie;
        }
        ++read;
    }
    EXPECT_GE(read, 3);
}

} // namespace lumo::formats
