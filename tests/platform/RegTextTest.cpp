#include "platform/posix/RegText.h"

#include <gtest/gtest.h>

namespace lumo::platform::reg {

TEST(RegText, ReadsEveryKindOfValue)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver]\r\n"
                             "\"Path\"=\"C:\\\\Lumo \\\"data\\\"\"\r\n"
                             "\"timer\"=dword:0000002a\r\n"
                             "@=\"default\"\r\n"
                             "\"Expand\"=hex(2):25,00,54,00,00,00\r\n"
                             "\"Blob\"=hex:01,02,\\\r\n"
                             "  03\r\n";
    Result<Hive> hive = parseHive(text);
    ASSERT_TRUE(hive) << hive.message();
    Key* key = hive->find("hkey_current_user\\software\\corvane\\lumo screensaver");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->find("path")->text, "C:\\Lumo \"data\"");
    EXPECT_EQ(key->find("timer")->type, kDword);
    EXPECT_EQ(key->find("timer")->data, (std::vector<std::uint8_t>{42, 0, 0, 0}));
    EXPECT_EQ(key->find("")->text, "default");
    EXPECT_EQ(key->find("Expand")->type, kExpandSz);
    EXPECT_EQ(key->find("Expand")->text, "%T");
    EXPECT_EQ(key->find("Blob")->data, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(RegText, RejectsWhatIsNotARegistryFileNamingTheLine)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "line 1: the file is empty"},
        {"hello\n", "line 1: not a registry file"},
        {"REGEDIT4\n\"a\"=\"b\"\n", "line 2: a value comes before any key"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x\n", "line 2: a key line must end with ]"},
        {"REGEDIT4\n[Software\\x]\n", "line 2: a key must start with its root"},
        {"REGEDIT4\n[-HKEY_CURRENT_USER\\x]\n", "line 2: key deletions"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"open\n", "line 3: the closing quote is missing"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:123456789\n", "line 3: a dword needs"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex:0g\n", "line 3: malformed hexadecimal"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex:01,\\\n", "line 3: the file ends inside"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=-\n", "line 3: value deletions"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\" \"b\"\n", "line 3: an equals sign"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\" tail\n", "line 3: unexpected text"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=hex(zz):00\n", "line 3: malformed hex(type)"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\x]\n\"a\"=word\n", "line 3: unknown kind"},
    };
    for (const auto& c : cases) {
        Result<Hive> hive = parseHive(c.text);
        ASSERT_FALSE(hive) << c.text;
        EXPECT_EQ(hive.message().rfind(c.error, 0), 0u) << hive.message();
    }
}

TEST(RegText, RoundTripsStringsThatNeedEscapingOrHexForm)
{
    Hive hive;
    Key& key = hive.obtain("HKEY_CURRENT_USER\\Software\\T");
    key.values.push_back({"quote\"back\\slash", kSz, "a \"b\" \\c", {}});
    key.values.push_back({"lines", kSz, "one\r\ntwo\tthree", {}});
    key.values.push_back({"utf8", kSz, "caf\xC3\xA9 \xE6\x97\xA5", {}});
    key.values.push_back({"dw", kDword, "", {0xEF, 0xBE, 0xAD, 0xDE}});
    key.values.push_back({"multi", kMultiSz, "", {0x41, 0, 0, 0, 0, 0}});
    key.values.push_back({"", kSz, "", {}});

    const std::string text = formatHive(hive);
    EXPECT_NE(text.find("\"dw\"=dword:deadbeef"), std::string::npos) << text;
    EXPECT_NE(text.find("\"lines\"=hex(1):"), std::string::npos) << text;
    EXPECT_NE(text.find("@=\"\""), std::string::npos) << text;
    Result<Hive> again = parseHive(text);
    ASSERT_TRUE(again) << again.message();
    ASSERT_EQ(again->keys.size(), 1u);
    const std::vector<Value>& values = again->keys[0].values;
    ASSERT_EQ(values.size(), key.values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, key.values[i].name);
        EXPECT_EQ(values[i].type, key.values[i].type);
        EXPECT_EQ(values[i].text, key.values[i].text);
        EXPECT_EQ(values[i].data, key.values[i].data);
    }
}

TEST(RegText, ReadsRegeditsOwnUtf16Exports)
{
    const std::string utf8
        = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\S]\r\n\"n\"=\"\xC3\xA9\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : std::u16string(
             u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\S]\r\n\"n\"=\"\u00e9\"\r\n")) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    Result<Hive> hive = parseHive(utf16);
    ASSERT_TRUE(hive) << hive.message();
    EXPECT_EQ(hive->find("HKEY_CURRENT_USER\\S")->find("n")->text, "\xC3\xA9");
    EXPECT_TRUE(parseHive(utf8));
}

TEST(RegText, StringsReadAsWindowsHandsThemOverSoTheyWriteBackUnchanged)
{
    using namespace std::string_literals;
    const std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"nul\"=\"ab\0cd\"\n"s
        + "\"bad\"=\"x\xFFy\"\n\"wide\"=hex(1):41,00,00,00,42,00\n";
    Result<Hive> hive = parseHive(text);
    ASSERT_TRUE(hive) << hive.message();
    Key& key = hive->keys[0];
    EXPECT_EQ(key.find("nul")->text, "ab");
    EXPECT_EQ(key.find("bad")->text, "x\xEF\xBF\xBDy");
    EXPECT_EQ(key.find("wide")->text, "A");
    Result<Hive> again = parseHive(formatHive(*hive));
    ASSERT_TRUE(again);
    for (const char* name : {"nul", "bad", "wide"})
        EXPECT_EQ(again->keys[0].find(name)->text, key.find(name)->text) << name;
}

TEST(RegText, KeyLookupSeesChildKeys)
{
    Hive hive;
    hive.obtain("HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver");
    EXPECT_TRUE(hive.hasKeyOrChild("HKEY_CURRENT_USER\\SOFTWARE"));
    EXPECT_TRUE(hive.hasKeyOrChild("HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver"));
    EXPECT_FALSE(hive.hasKeyOrChild("HKEY_CURRENT_USER\\Soft"));
    EXPECT_FALSE(hive.hasKeyOrChild("HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver\\x"));
}

} // namespace lumo::platform::reg
