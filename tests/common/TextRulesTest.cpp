#include "common/Codepage.h"
#include "common/PathRules.h"
#include "common/Text.h"

#include <gtest/gtest.h>

namespace lumo {

TEST(TextBefore, TakesTheTextBeforeTheFirstSeparatorOrAll)
{
    EXPECT_EQ(TextBefore('.', "MySaver.exe"), "MySaver");
    EXPECT_EQ(TextBefore('.', "My.Cool.Saver.exe"), "My");
    EXPECT_EQ(TextBefore('.', "NoDot"), "NoDot");
    EXPECT_EQ(TextBefore(';', ";lead"), "");
    EXPECT_EQ(TextBefore(';', ""), "");
}

TEST(UpperAscii, TouchesOnlyAsciiLetters)
{
    EXPECT_EQ(upperAscii("/s"), "/S");
    EXPECT_EQ(upperAscii("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");
}

TEST(EscapedForDisplay, KeepsUtf8AndEscapesControlsAndStrayBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain/name.swf", "plain/name.swf"},
        {"caf\xC3\xA9 \xE2\x82\xAC.swf", "caf\xC3\xA9 \xE2\x82\xAC.swf"}, // é and the euro sign stay
        {"a\nb\tc\x1B[31m", "a\\x0Ab\\x09c\\x1B[31m"},
        {"\xE9t\xE9.swf", "\\xE9t\\xE9.swf"}, // Latin-1 bytes are no UTF-8
        {"\xC0\xAF", "\\xC0\\xAF"}, // an overlong slash
        {"\xC2\x85", "\\xC2\\x85"}, // a C1 control
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, // a surrogate
        {"end\xE2\x82", "end\\xE2\\x82"}, // cut short
        {"del\x7F", "del\\x7F"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(escapedForDisplay(in), out) << in;
    // Cut by characters, never inside one.
    EXPECT_EQ(escapedForDisplay("ab\xC3\xA9"
                                "cd",
                                3),
              "ab\xC3\xA9...");
    EXPECT_EQ(escapedForDisplay("abc", 3), "abc");
}

TEST(ParseInteger, AcceptsOnlySignedDecimalsThatFit)
{
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"0", 0},
        {"500", 500},
        {"-1", -1},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"0x10", std::nullopt},
        {"1.5", std::nullopt},
        {"abc", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.expected) << c.text;
}

TEST(PathRules, FileNameAndExtensionFollowBackslashAndColon)
{
    const struct {
        const char* path;
        const char* name;
        const char* extension;
    } cases[] = {
        {"C:\\Out\\MySaver.exe", "MySaver.exe", ".exe"},
        {"C:MySaver.scr", "MySaver.scr", ".scr"},
        {"MySaver", "MySaver", ""},
        {"C:\\dir.v2\\file", "file", ""},
        {"http://host/movies/a.swf", "//host/movies/a.swf", ".swf"},
        {"http://www.host.com/play", "//www.host.com/play", ".com/play"},
        {"http://host:8080/a.swf", "8080/a.swf", ".swf"},
        {"name.", "name.", "."},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(extensionOf(c.path), c.extension) << c.path;
    }
}

TEST(PathRules, HostSyntaxSeparatesAtSlashOnPosix)
{
    EXPECT_EQ(fileNameOf("/home/me/movies/a.swf", PathSyntax::Host), "a.swf");
    EXPECT_EQ(extensionOf("/home/me/v1.2/movie", PathSyntax::Host), "");
    EXPECT_EQ(extensionOf("/home/me/v1.2/movie", PathSyntax::Windows), ".2/movie");
    EXPECT_EQ(joinHostPath("/data", "FileList.list"), "/data/FileList.list");
    EXPECT_EQ(joinHostPath("/data/", "FileList.list"), "/data/FileList.list");
    EXPECT_EQ(joinHostPath("", "FileList.list"), "/FileList.list");
}

TEST(PathRules, AMoviesVideoIsBesideItWithAviForSwf)
{
    EXPECT_EQ(videoPathOf("clip.swf"), "clip.avi");
    EXPECT_EQ(videoPathOf("C:\\work\\Clip.SwF"), "C:\\work\\Clip.avi");
    EXPECT_EQ(videoPathOf("/tmp/a (2).swf"), "/tmp/a (2).avi");
    for (const char* none : {"picture.png", "no extension", "swf", ".swf.d/name", "a.swfx", "a.sw"})
        EXPECT_EQ(videoPathOf(none), "") << none;
}

TEST(Codepage, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = cp1252ToUtf8(all);
    Result<std::string> back = utf8ToCp1252(utf8);
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(*back, all);
}

TEST(Codepage, MapsTheHighBlockAsWindowsDoes)
{
    EXPECT_EQ(cp1252ToUtf8("\x80\x99\xE9"), "\xE2\x82\xAC\xE2\x84\xA2\xC3\xA9"); // euro sign, trade mark, e acute
    EXPECT_EQ(*utf8ToCp1252("caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D"), "caf\xE9 \x93q\x94");
}

TEST(Codepage, ReportsWhatItCannotHold)
{
    const struct {
        const char* text;
        const char* mentions;
    } cases[] = {
        {"movie-\xE6\x97\xA5.swf", "U+65E5"}, // a CJK character
        {"\xF0\x9F\x8E\xAC.swf", "U+1F3AC"}, // an emoji outside the BMP
        {"bad-\xC3.swf", "invalid UTF-8"}, // a truncated sequence
        {"\xC5\x81odz.swf", "U+0141"}, // Polish L with stroke: Windows-1250, not 1252
    };
    for (const auto& c : cases) {
        Result<std::string> converted = utf8ToCp1252(c.text);
        ASSERT_FALSE(converted) << c.text;
        EXPECT_NE(converted.message().find(c.mentions), std::string::npos) << converted.message();
        EXPECT_NE(converted.message().find(c.text), std::string::npos) << "names the whole text";
    }
}

} // namespace lumo
