// Flash movie bytes made in the tests: the body's header fields, and a whole uncompressed movie
// with one frame's worth of tags.
#pragma once

#include "formats/ByteReader.h"

#include <cstdint>
#include <string>

namespace lumo::test {

// A body that starts with the frame rectangle (nbits per value), the 8.8 rate and the count.
inline std::string swfBody(int nbits, std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax,
                           std::uint16_t rate88, std::uint16_t frames)
{
    std::string bits;
    const auto put = [&](std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bits += ((value >> i) & 1u) ? '1' : '0';
    };
    put(static_cast<std::uint32_t>(nbits), 5);
    for (const std::int32_t v : {xMin, xMax, yMin, yMax})
        put(static_cast<std::uint32_t>(v), nbits);
    bits.append((8 - bits.size() % 8) % 8, '0');
    std::string out;
    for (size_t i = 0; i < bits.size(); i += 8)
        out += static_cast<char>(std::stoi(bits.substr(i, 8), nullptr, 2));
    formats::putU16(out, rate88);
    formats::putU16(out, frames);
    out += std::string("\x40\x00\x00\x00", 4); // ShowFrame, End
    return out;
}

inline std::string le32(std::uint32_t v)
{
    std::string out;
    formats::putU32(out, v);
    return out;
}

// An FWS movie of width x height pixels, rate88 frames a second (8.8 fixed point), frames frames.
inline std::string plainSwf(int width, int height, std::uint16_t rate88, std::uint16_t frames, int version = 10)
{
    const std::string plain = swfBody(16, 0, width * 20, 0, height * 20, rate88, frames);
    return "FWS" + std::string(1, static_cast<char>(version)) + le32(static_cast<std::uint32_t>(8 + plain.size()))
        + plain;
}

} // namespace lumo::test
