// A bounded little-endian reader over a byte span. Every read checks the bytes left first; a read
// past the end fails and leaves the reader where it was, so callers never touch memory they were
// not given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lumo::formats {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }
    explicit ByteReader(std::string_view bytes)
        : m_bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())
    {
    }

    size_t position() const { return m_position; }
    size_t remaining() const { return m_bytes.size() - m_position; }
    bool atEnd() const { return m_position == m_bytes.size(); }

    std::optional<std::uint8_t> u8()
    {
        if (remaining() < 1)
            return std::nullopt;
        return m_bytes[m_position++];
    }

    std::optional<std::uint16_t> u16()
    {
        if (remaining() < 2)
            return std::nullopt;
        const auto value = static_cast<std::uint16_t>(m_bytes[m_position] | (m_bytes[m_position + 1] << 8));
        m_position += 2;
        return value;
    }

    std::optional<std::uint32_t> u32()
    {
        if (remaining() < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | m_bytes[m_position + static_cast<size_t>(i)];
        m_position += 4;
        return value;
    }

    std::optional<std::int32_t> i32()
    {
        const auto value = u32();
        if (!value)
            return std::nullopt;
        return static_cast<std::int32_t>(*value);
    }

    // The next count bytes, or nullopt when fewer are left.
    std::optional<std::span<const std::uint8_t>> bytes(size_t count)
    {
        if (remaining() < count)
            return std::nullopt;
        const auto view = m_bytes.subspan(m_position, count);
        m_position += count;
        return view;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    size_t m_position = 0;
};

// Little-endian fields at a known offset (the caller has checked the range).
inline std::uint16_t le16(std::string_view s, size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

inline std::uint32_t le32(std::string_view s, size_t at)
{
    return le16(s, at) | (static_cast<std::uint32_t>(le16(s, at + 2)) << 16);
}

inline void setLe16(std::string& s, size_t at, std::uint16_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

inline void setLe32(std::string& s, size_t at, std::uint32_t v)
{
    setLe16(s, at, static_cast<std::uint16_t>(v & 0xFFFF));
    setLe16(s, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// Little-endian appends for writers.
inline void putU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

inline void putU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace lumo::formats
