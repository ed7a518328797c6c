#include "Codepage.h"

#include "platform/Utf16.h"

#include <array>
#include <cstdio>

namespace lumo {

namespace {

// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        platform::appendUtf8(out, (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : b);
    }
    return out;
}

Result<std::string> utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        const char32_t cp = platform::nextCodePoint(text, pos);
        const int b = byteFor(cp);
        const bool malformed = cp == 0xFFFD && text.substr(start, pos - start) != "\xEF\xBF\xBD";
        if (b < 0 || malformed) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            const std::string shown = malformed
                ? std::string("an invalid UTF-8 byte")
                : "\"" + std::string(text.substr(start, pos - start)) + "\" (" + code + ")";
            return Error{"Windows-1252 cannot hold " + shown + " in \"" + std::string(text) + "\""};
        }
        out += static_cast<char>(b);
    }
    return out;
}

} // namespace lumo
