// Bytes as spaced upper-case hex ("78 9C 4B"), for comparing binary output with the documented bytes.
#pragma once

#include <string>
#include <string_view>

namespace lumo::test {

inline std::string hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

} // namespace lumo::test
