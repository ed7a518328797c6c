// The header of a Flash movie: the signature (FWS plain, CWS zlib, ZWS LZMA), the version, the
// length of the movie once uncompressed, then, inside the (possibly compressed) body, the frame
// rectangle in twips (a bit-packed RECT), the frame rate (8.8 fixed point) and the frame count.
// The reader needs only the file's first bytes (kSwfHeaderBytes are always enough) and decodes no
// more of a compressed body than the header fields take.
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumo::formats {

inline constexpr size_t kSwfHeaderBytes = 4096;

struct SwfHeader {
    enum class Compression { None, Zlib, Lzma };
    Compression compression = Compression::None;
    int version = 0;
    std::uint32_t fileLength = 0; // uncompressed, header included
    std::int32_t widthTwips = 0;
    std::int32_t heightTwips = 0;
    double frameRate = 0; // frames a second; 0 in some scripted movies
    std::uint16_t frameCount = 0;

    int width() const { return widthTwips / 20; }
    int height() const { return heightTwips / 20; }
    // The timeline's length in seconds; 0 when the rate is 0.
    double seconds() const { return frameRate > 0 ? frameCount / frameRate : 0; }
};

// "FWS", "CWS" or "ZWS" at the start.
bool hasSwfSignature(std::string_view firstBytes);

// Errors: "not a Flash movie", "the header is cut short", "the compressed header is damaged",
// "the frame size is impossible".
Result<SwfHeader> readSwfHeader(std::string_view firstBytes);

// "550 × 400, 24 fps, 120 frames (5.0 s), Flash 10": what users pick movies by.
std::string describeSwfHeader(const SwfHeader& header);

} // namespace lumo::formats
