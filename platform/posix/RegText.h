// The registry text format ("Windows Registry Editor Version 5.00" or "REGEDIT4") as the hive
// file of the POSIX registry. Sections "[HKEY_...\path]" hold values:
//   "name"="text"            REG_SZ (\\ and \" escaped)
//   "name"=dword:0000002a    REG_DWORD
//   "name"=hex(N):00,41,...  any type N as bytes (hex: alone is REG_BINARY); lines may continue
//                            with a trailing backslash
//   @=...                    the key's default value
// Files are read as UTF-8, or UTF-16LE when they start with its byte-order mark (regedit's own
// exports); they are written as UTF-8. Strings that hold control characters are written as
// hex(1) so that a line break never splits a line of the file.
#pragma once

#include "../Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::platform::reg {

enum ValueType : std::uint32_t {
    kNone = 0,
    kSz = 1,
    kExpandSz = 2,
    kBinary = 3,
    kDword = 4,
    kMultiSz = 7,
    kQword = 11,
};

struct Value {
    std::string name; // empty for the default value
    std::uint32_t type = kSz;
    std::string text; // kSz and kExpandSz, UTF-8
    std::vector<std::uint8_t> data; // every other type, raw bytes
};

struct Key {
    std::string path; // "HKEY_CURRENT_USER\Software\..."
    std::vector<Value> values;

    Value* find(std::string_view name);
};

struct Hive {
    std::vector<Key> keys;

    Key* find(std::string_view path);
    Key& obtain(std::string_view path);
    // The key itself or any key below it.
    bool hasKeyOrChild(std::string_view path) const;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The error names the line and what is wrong with it.
Result<Hive> parseHive(std::string_view bytes);
std::string formatHive(const Hive& hive);

} // namespace lumo::platform::reg
