// UTF-8 <-> UTF-16 for the Windows wide APIs and for UTF-16 files. Malformed input becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace lumo::platform {

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t cp);
// Decodes the code point at text[pos] and advances pos; malformed bytes give U+FFFD and advance one.
char32_t nextCodePoint(std::string_view text, size_t& pos);

} // namespace lumo::platform
