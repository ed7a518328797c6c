#include "RegText.h"

#include "../Utf16.h"

#include <cstdio>

namespace lumo::platform::reg {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

char foldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::string decodeToUtf8(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string wide;
        wide.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i])
                                          | (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return utf16ToUtf8(wide);
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return std::string(bytes);
}

Error lineError(size_t line, std::string_view what)
{
    return {"line " + std::to_string(line) + ": " + std::string(what)};
}

// Reads a quoted string starting at text[0] == '"'; returns the number of characters consumed,
// or 0 when the closing quote is missing.
size_t readQuoted(std::string_view text, std::string& out)
{
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            return i + 1;
        if (c == '\\' && i + 1 < text.size()) {
            out += text[++i];
            continue;
        }
        out += c;
    }
    return 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = foldCase(c);
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseHexBytes(std::string_view text, std::vector<std::uint8_t>& out)
{
    text = trimLeft(trimRight(text));
    if (text.empty())
        return true;
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos + 2 > text.size())
            return false;
        const int hi = hexDigit(text[pos]);
        const int lo = hexDigit(text[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        pos += 2;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos == text.size())
            return true;
        if (text[pos] != ',')
            return false;
        ++pos;
    }
}

// A string value as Windows hands it to a reader: up to its first NUL. Malformed UTF-8 becomes
// U+FFFD, so that what was read is what will be written.
std::string canonicalText(std::string_view text)
{
    return utf16ToUtf8(utf8ToUtf16(text.substr(0, text.find('\0'))));
}

std::string stringFromUtf16Bytes(const std::vector<std::uint8_t>& data)
{
    std::u16string wide;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        wide += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return utf16ToUtf8(wide.substr(0, wide.find(u'\0')));
}

Result<Value> parseValueData(std::string_view data, std::string name)
{
    Value value;
    value.name = std::move(name);
    if (data.empty())
        return Error{"the value has no data"};
    if (data == "-")
        return Error{"value deletions do not belong in a settings file"};
    if (data.front() == '"') {
        const size_t used = readQuoted(data, value.text);
        if (used == 0)
            return Error{"the closing quote is missing"};
        if (!trimLeft(data.substr(used)).empty())
            return Error{"unexpected text after the string"};
        value.text = canonicalText(value.text);
        value.type = kSz;
        return value;
    }
    if (data.substr(0, 6) == "dword:") {
        const std::string_view digits = data.substr(6);
        if (digits.empty() || digits.size() > 8)
            return Error{"a dword needs 1 to 8 hexadecimal digits"};
        std::uint32_t number = 0;
        for (const char c : digits) {
            const int d = hexDigit(c);
            if (d < 0)
                return Error{"a dword needs 1 to 8 hexadecimal digits"};
            number = number * 16 + static_cast<std::uint32_t>(d);
        }
        value.type = kDword;
        for (int i = 0; i < 4; ++i)
            value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        return value;
    }
    if (data.substr(0, 3) == "hex") {
        std::string_view rest = data.substr(3);
        value.type = kBinary;
        if (!rest.empty() && rest.front() == '(') {
            const size_t close = rest.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9)
                return Error{"malformed hex(type)"};
            std::uint32_t type = 0;
            for (const char c : rest.substr(1, close - 1)) {
                const int d = hexDigit(c);
                if (d < 0)
                    return Error{"malformed hex(type)"};
                type = type * 16 + static_cast<std::uint32_t>(d);
            }
            value.type = type;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':')
            return Error{"a colon must follow hex"};
        if (!parseHexBytes(rest.substr(1), value.data))
            return Error{"malformed hexadecimal bytes"};
        if (value.type == kSz || value.type == kExpandSz) {
            value.text = stringFromUtf16Bytes(value.data);
            value.data.clear();
        }
        return value;
    }
    return Error{"unknown kind of value data"};
}

bool needsHexForm(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

std::string quote(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string hexList(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ',';
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

std::string formatValue(const Value& value)
{
    std::string line = value.name.empty() ? "@" : quote(value.name);
    line += '=';
    if ((value.type == kSz || value.type == kExpandSz) && !(value.type == kSz && !needsHexForm(value.text))) {
        std::vector<std::uint8_t> bytes;
        for (const char16_t unit : utf8ToUtf16(value.text)) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        line += "hex(" + std::to_string(value.type) + "):" + hexList(bytes);
    } else if (value.type == kSz) {
        line += quote(value.text);
    } else if (value.type == kDword && value.data.size() == 4) {
        const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16)
            | (static_cast<std::uint32_t>(value.data[3]) << 24);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%08x", number);
        line += "dword:" + std::string(buffer);
    } else if (value.type == kBinary) {
        line += "hex:" + hexList(value.data);
    } else {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%x", value.type);
        line += "hex(" + std::string(buffer) + "):" + hexList(value.data);
    }
    return line;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

Value* Key::find(std::string_view name)
{
    for (Value& v : values)
        if (equalsIgnoringCase(v.name, name))
            return &v;
    return nullptr;
}

Key* Hive::find(std::string_view path)
{
    for (Key& k : keys)
        if (equalsIgnoringCase(k.path, path))
            return &k;
    return nullptr;
}

Key& Hive::obtain(std::string_view path)
{
    if (Key* key = find(path))
        return *key;
    keys.push_back({std::string(path), {}});
    return keys.back();
}

bool Hive::hasKeyOrChild(std::string_view path) const
{
    for (const Key& k : keys) {
        const std::string_view p = k.path;
        if (equalsIgnoringCase(p, path))
            return true;
        if (p.size() > path.size() && p[path.size()] == '\\' && equalsIgnoringCase(p.substr(0, path.size()), path))
            return true;
    }
    return false;
}

Result<Hive> parseHive(std::string_view bytes)
{
    const std::string text = decodeToUtf8(bytes);
    Hive hive;
    Key* current = nullptr;
    bool headerSeen = false;
    size_t lineNumber = 0;
    size_t pos = 0;
    auto nextLine = [&](std::string_view& line) {
        if (pos >= text.size())
            return false;
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        line = trimRight(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        return true;
    };
    std::string_view line;
    while (nextLine(line)) {
        const size_t startLine = lineNumber;
        if (line.empty() || line.front() == ';')
            continue;
        if (!headerSeen) {
            if (line != kHeader5 && line != kHeader4)
                return lineError(startLine,
                                 "not a registry file (the first line must be \"" + std::string(kHeader5) + "\")");
            headerSeen = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                return lineError(startLine, "a key line must end with ]");
            const std::string_view path = line.substr(1, line.size() - 2);
            if (path.front() == '-')
                return lineError(startLine, "key deletions do not belong in a settings file");
            if (path.substr(0, 5) != "HKEY_")
                return lineError(startLine, "a key must start with its root, such as HKEY_CURRENT_USER");
            current = &hive.obtain(path);
            continue;
        }
        std::string name;
        size_t used = 0;
        if (line.front() == '@') {
            used = 1;
        } else if (line.front() == '"') {
            used = readQuoted(line, name);
            if (used == 0)
                return lineError(startLine, "the closing quote of the value name is missing");
        } else {
            return lineError(startLine, "expected a key in brackets or a quoted value name");
        }
        std::string_view rest = trimLeft(line.substr(used));
        if (rest.empty() || rest.front() != '=')
            return lineError(startLine, "an equals sign must follow the value name");
        if (!current)
            return lineError(startLine, "a value comes before any key");
        std::string data(trimLeft(rest.substr(1)));
        // Hex lists may run over several lines, each but the last ending with a backslash.
        while (data.substr(0, 3) == "hex" && !data.empty() && data.back() == '\\') {
            data.pop_back();
            if (!nextLine(line))
                return lineError(startLine, "the file ends inside a continued value");
            data += trimLeft(line);
        }
        Result<Value> value = parseValueData(data, std::move(name));
        if (!value)
            return lineError(startLine, value.message());
        if (Value* existing = current->find(value->name))
            *existing = std::move(*value);
        else
            current->values.push_back(std::move(*value));
    }
    if (!headerSeen)
        return lineError(lineNumber + 1, "the file is empty");
    return hive;
}

std::string formatHive(const Hive& hive)
{
    std::string out = std::string(kHeader5) + "\n";
    for (const Key& key : hive.keys) {
        out += "\n[" + key.path + "]\n";
        for (const Value& value : key.values)
            out += formatValue(value) + "\n";
    }
    return out;
}

} // namespace lumo::platform::reg
