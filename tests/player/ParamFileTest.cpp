#include "player/core/ParamFile.h"

#include <gtest/gtest.h>

namespace lumo::player {

namespace {

// The Creator's side of the format, written out here from its definition.
std::string scrambledFile(const std::string& plain)
{
    std::string out = "KX";
    for (size_t p = 1; p <= plain.size(); ++p)
        out += static_cast<char>(static_cast<unsigned char>(plain[p - 1]) ^ (p % 2 ? 0x5A : 0xC3));
    return out + "\r\n";
}

std::string thirteenLines(const std::string& title)
{
    return "round\r\n12\r\n\\Logo\\Logos.swf\r\nMySaver.exe\r\n400\r\n470\r\n0\r\n0\r\n" + title
        + "\r\n-1\r\n0\r\n-1\r\nYour text here;\r\n";
}

} // namespace

TEST(ParamFile, UnscramblesTheKnownBytes)
{
    EXPECT_EQ(UnscrambleParams("\x2A\xAF\x3B\xBA\x57\xC9"), "play\r\n");
    EXPECT_EQ(UnscrambleParams(""), "");
    int wrongMarkers = 0;
    const ParamLines lines = readParamLines("KX\x2A\xAF\x3B\xBA\x57\xC9\r\n", [&] { ++wrongMarkers; });
    EXPECT_EQ(wrongMarkers, 0);
    ASSERT_EQ(lines.count(), 1u);
    EXPECT_EQ(*lines.text(1), "play");
}

TEST(ParamFile, ReadsThirteenLinesByPositionAndType)
{
    const ParamLines lines = readParamLines(scrambledFile(thirteenLines("Your title")), {});
    ASSERT_EQ(lines.count(), 13u) << "the last line end closes line 13 and adds none";
    EXPECT_EQ(*lines.text(1), "round");
    EXPECT_EQ(*lines.integer(2), 12);
    EXPECT_EQ(*lines.text(3), "\\Logo\\Logos.swf");
    EXPECT_EQ(*lines.integer(5), 400);
    EXPECT_EQ(*lines.text(9), "Your title");
    EXPECT_TRUE(*lines.boolean(10));
    EXPECT_FALSE(*lines.boolean(11));
    EXPECT_EQ(*lines.text(13), "Your text here;");
}

TEST(ParamFile, ScrambledLineEndsAndNulsAreOrdinaryBytes)
{
    // Plain bytes chosen so that their scrambled form is CR, LF and NUL at both parities.
    const size_t start = thirteenLines("").find("\r\n-1\r\n0\r\n-1"); // where line 9 begins
    std::string title;
    for (const char wanted : {'\r', '\n', '\0', '\r', '\n', '\0'}) {
        const size_t p = start + title.size() + 1;
        title += static_cast<char>(wanted ^ (p % 2 ? 0x5A : 0xC3));
    }
    const std::string file = scrambledFile(thirteenLines(title));
    for (const char c : {'\r', '\n', '\0'})
        EXPECT_NE(file.substr(2, file.size() - 4).find(c), std::string::npos) << int(c);
    const ParamLines lines = readParamLines(file, {});
    ASSERT_EQ(lines.count(), 13u);
    EXPECT_EQ(*lines.text(9), title);
}

TEST(ParamFile, AWrongMarkerIsReportedAndReadingGoesOn)
{
    std::string file = scrambledFile(thirteenLines("T"));
    file[0] = 'Q';
    int wrongMarkers = 0;
    const ParamLines lines = readParamLines(file, [&] { ++wrongMarkers; });
    EXPECT_EQ(wrongMarkers, 1);
    EXPECT_EQ(lines.count(), 13u);
    EXPECT_EQ(*lines.text(9), "T");

    EXPECT_EQ(readParamLines("KX", {}).count(), 0u);
    EXPECT_EQ(readParamLines("K", [&] { ++wrongMarkers; }).count(), 0u);
    EXPECT_EQ(wrongMarkers, 2);
}

TEST(ParamFile, ConversionErrorsCarryTheFrameworksTexts)
{
    const ParamLines lines({"round", "abc", "", "x", "yes"});
    EXPECT_EQ(lines.integer(2).message(), "'abc' is not a valid integer value");
    EXPECT_EQ(lines.integer(3).message(), "'' is not a valid integer value");
    EXPECT_EQ(lines.boolean(5).message(), "'yes' is not a valid boolean value");
    EXPECT_EQ(lines.text(13).message(), "List index out of bounds (12)");
    EXPECT_EQ(lines.integer(6).message(), "List index out of bounds (5)");
}

TEST(ParamFile, BooleansAreNumbersOrTheWordsTrueAndFalse)
{
    const struct {
        const char* text;
        std::optional<bool> value;
    } cases[] = {
        {"-1", true},       {"0", false},          {"1", true},          {"5", true},         {"TRUE", true},
        {"false", false},   {"True", true},        {"0.0", false},       {"0.5", true},       {"-0", false},
        {"", std::nullopt}, {"yes", std::nullopt}, {"1 ", std::nullopt}, {".", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseBoolean(c.text), c.value) << c.text;
}

} // namespace lumo::player
