#include "formats/RleCodec.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

#include <random>

namespace lumo::formats {

namespace {

using test::hex;

std::string allValues(int times)
{
    std::string out;
    for (int t = 0; t < times; ++t)
        for (int v = 0; v < 256; ++v)
            out += static_cast<char>(v);
    return out;
}

} // namespace

TEST(RleCodec, EscapeModeExamples)
{
    EXPECT_EQ(hex(RlePackBlock(std::string(10, 'A') + "B")), "00 00 00 41 09 42");
    EXPECT_EQ(hex(RlePackBlock(std::string(300, 'A'))), "00 00 00 41 00 2B 01");
    // The escape byte is the lowest value absent from the block.
    EXPECT_EQ(hex(RlePackBlock(std::string("\0\1\3", 3))), "02 00 00 01 03");
    // Four equal bytes are a run here, three are literals.
    EXPECT_EQ(hex(RlePackBlock("xAAAAy")), "00 00 78 00 41 03 79");
    EXPECT_EQ(hex(RlePackBlock("xAAAy")), "00 00 78 41 41 41 79");
}

TEST(RleCodec, PositionTableModeExamples)
{
    const std::string body = RlePackBlock(allValues(2) + std::string(5, '\x05'));
    ASSERT_EQ(body.size(), 518u);
    EXPECT_EQ(hex(body.substr(0, 2)), "04 02");
    EXPECT_EQ(body.substr(2, 512), allValues(2));
    EXPECT_EQ(hex(body.substr(514)), "05 04 03 02");
    // Four equal bytes stay literals in this mode; a block without runs has no table.
    const std::string four = RlePackBlock(allValues(1) + "AAAA");
    EXPECT_EQ(four.size(), 2u + 260u);
    EXPECT_EQ(hex(four.substr(0, 2)), "06 01");
}

TEST(RleCodec, CodedFilesExamples)
{
    EXPECT_EQ(hex(RlePack("")), "00 00 00 00");
    const std::string coded = RlePack(std::string(65534, 'z'));
    // Two blocks: 65533 bytes as one run, then one literal.
    EXPECT_EQ(hex(coded), "FE FF 00 00 07 00 00 00 00 7A 00 FC FF 03 00 00 00 7A");
    EXPECT_EQ(*RleUnpack(std::string_view(coded).substr(4), 65534), std::string(65534, 'z'));

    // A stored player program: all values in every block and no runs give heads equal to the
    // block lengths, 65535 for each full block.
    std::string program;
    for (size_t i = 0; i < 306320; ++i)
        program += static_cast<char>(i * 7 % 256);
    const std::string packed = RlePack(program);
    size_t offset = 4;
    int blocks = 0;
    while (offset < packed.size()) {
        const size_t length
            = static_cast<unsigned char>(packed[offset]) | static_cast<unsigned char>(packed[offset + 1]) << 8;
        const size_t head
            = static_cast<unsigned char>(packed[offset + 2]) | static_cast<unsigned char>(packed[offset + 3]) << 8;
        EXPECT_EQ(head, length);
        offset += 2 + length;
        ++blocks;
    }
    EXPECT_EQ(blocks, 5);
    EXPECT_EQ(packed.size(), 4 + program.size() + 4 * 5);
}

TEST(RleCodec, RoundTripsAroundTheBlockEdgeAndWithinTheSizeBound)
{
    std::mt19937 random(1234);
    const size_t sizes[] = {0, 1, 4, 5, 255, 256, 65532, 65533, 65534, 65535, 131066, 131067, 200000};
    for (const size_t size : sizes) {
        for (int kind = 0; kind < 4; ++kind) {
            std::string data(size, '\0');
            for (size_t i = 0; i < size; ++i) {
                switch (kind) {
                case 0:
                    data[i] = static_cast<char>(random());
                    break; // all values, few runs
                case 1:
                    data[i] = static_cast<char>(random() % 3);
                    break; // many short runs
                case 2:
                    data[i] = static_cast<char>((i / 300) % 256);
                    break; // long runs, all values
                default:
                    data[i] = static_cast<char>(i % 256 == 7 ? 1 : 7);
                    break; // escape mode, long runs
                }
            }
            const std::string coded = RlePack(data);
            EXPECT_LE(coded.size(), 4 + size + 4 * ((size + kRleBlockSize - 1) / kRleBlockSize));
            Result<std::string> back = RleUnpack(std::string_view(coded).substr(4), static_cast<std::int64_t>(size));
            ASSERT_TRUE(back) << back.message();
            EXPECT_EQ(*back, data) << "size " << size << " kind " << kind;
        }
    }
}

TEST(RleCodec, DamagedDataIsReportedNeverOverrun)
{
    const std::string tableBlock = RlePackBlock(allValues(1) + std::string(6, 'Q'));
    const struct {
        std::string body;
        size_t expected;
        const char* fault;
    } cases[] = {
        {"\x01", 1, "shorter than its head"},
        {std::string("\x00\x00\x00\x41", 4), 5, "run is cut off"},
        {std::string("\x00\x00\x00\x41\x00\x10", 6), 5, "run is cut off"},
        {std::string("\x00\x00\x00\x41\x09", 5), 5, "reaches past the block's end"},
        {std::string("\x00\x00"
                     "abc",
                     5),
         2, "more bytes than the block should"},
        {std::string("\x00\x00"
                     "abc",
                     5),
         4, "decodes to 3 bytes instead of 4"},
        {std::string("\xFF\xFF"
                     "ab",
                     4),
         2, "does not fit the body"},
        {tableBlock.substr(0, tableBlock.size() - 1), 262, "does not fit the body"},
        {tableBlock.substr(0, tableBlock.size() - 2) + std::string("\x01\x00", 2), 262, "outside the data area"},
        {tableBlock.substr(0, tableBlock.size() - 2) + "\xFF\x7F", 262, "outside the data area"},
        {tableBlock, 261, "reaches past the block's end"},
    };
    for (const auto& c : cases) {
        std::string out;
        Status s = RleUnpackBlock(c.body, c.expected, out);
        ASSERT_FALSE(s) << hex(c.body);
        EXPECT_NE(s.message().find(c.fault), std::string::npos) << s.message();
        EXPECT_LE(out.size(), c.expected);
    }
    std::string out;
    EXPECT_TRUE(RleUnpackBlock(tableBlock, 262, out));
}

TEST(RleCodec, StatedSizesThatTheDataCannotBackAreRefusedWithoutAllocating)
{
    // Two gibibytes declared, a few bytes present.
    Result<std::string> huge = RleUnpack(std::string("\x07\x00\x00\x00\x00\x41\x00\xFC\xFF", 9), 0x7FFFFFFF);
    ASSERT_FALSE(huge);
    EXPECT_NE(huge.message().find("ends after 65533 of 2147483647 bytes"), std::string::npos) << huge.message();
    EXPECT_NE(RleUnpack("", 10).message().find("ends after 0 of 10 bytes"), std::string::npos);
    EXPECT_NE(RleUnpack("", -1).message().find("negative size"), std::string::npos);
    const std::string coded = RlePack("abc");
    EXPECT_TRUE(RleUnpack(coded.substr(4), 3));
    EXPECT_NE(RleUnpack(coded.substr(4) + "x", 3).message().find("1 bytes follow the last block"), std::string::npos);
}

} // namespace lumo::formats
