#include "SwfHeader.h"

#include "ByteReader.h"

#include <lzma.h>
#include <zlib.h>

#include <cstdio>

namespace lumo::formats {

namespace {

// RECT (at most 5 + 4 * 31 bits = 17 bytes) + frame rate + frame count.
constexpr size_t kBodyFieldsBytes = 17 + 2 + 2;

Result<std::string> inflatePrefix(std::string_view compressed, size_t wanted)
{
    std::string out(wanted, '\0');
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return Error{"the compressed header is damaged"};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    const size_t got = out.size() - stream.avail_out;
    inflateEnd(&stream);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
        return Error{"the compressed header is damaged"};
    out.resize(got);
    return out;
}

// ZWS: compressed length (4 bytes), LZMA properties (5 bytes), raw LZMA data. Given to liblzma's
// .lzma decoder as the header it expects: the properties, then the uncompressed size.
Result<std::string> unlzmaPrefix(std::string_view afterLength, std::uint32_t bodyLength, size_t wanted)
{
    if (afterLength.size() < 5)
        return Error{"the header is cut short"};
    std::string alone(afterLength.substr(0, 5));
    for (int i = 0; i < 8; ++i)
        alone += static_cast<char>(i < 4 ? (bodyLength >> (8 * i)) & 0xFF : 0);
    alone.append(afterLength.substr(5));

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, 64u << 20) != LZMA_OK)
        return Error{"the compressed header is damaged"};
    std::string out(wanted, '\0');
    stream.next_in = reinterpret_cast<const std::uint8_t*>(alone.data());
    stream.avail_in = alone.size();
    stream.next_out = reinterpret_cast<std::uint8_t*>(out.data());
    stream.avail_out = out.size();
    lzma_ret result = LZMA_OK;
    while (result == LZMA_OK && stream.avail_out > 0 && stream.avail_in > 0)
        result = lzma_code(&stream, LZMA_RUN);
    const size_t got = out.size() - stream.avail_out;
    lzma_end(&stream);
    if (result != LZMA_OK && result != LZMA_STREAM_END)
        return Error{"the compressed header is damaged"};
    out.resize(got);
    return out;
}

class BitReader {
public:
    explicit BitReader(std::string_view bytes)
        : m_bytes(bytes)
    {
    }
    bool has(size_t bits) const { return m_bit + bits <= m_bytes.size() * 8; }
    std::uint32_t unsignedBits(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i, ++m_bit)
            value = (value << 1) | ((static_cast<unsigned char>(m_bytes[m_bit / 8]) >> (7 - m_bit % 8)) & 1u);
        return value;
    }
    std::int32_t signedBits(int count)
    {
        const std::uint32_t value = unsignedBits(count);
        if (count > 0 && count < 32 && (value >> (count - 1)) & 1u)
            return static_cast<std::int32_t>(value | (~0u << count));
        return static_cast<std::int32_t>(value);
    }
    size_t byteAfter() const { return (m_bit + 7) / 8; }

private:
    std::string_view m_bytes;
    size_t m_bit = 0;
};

} // namespace

bool hasSwfSignature(std::string_view firstBytes)
{
    const std::string_view signature = firstBytes.substr(0, 3);
    return signature == "FWS" || signature == "CWS" || signature == "ZWS";
}

Result<SwfHeader> readSwfHeader(std::string_view bytes)
{
    if (!hasSwfSignature(bytes))
        return Error{"not a Flash movie"};
    if (bytes.size() < 8)
        return Error{"the header is cut short"};
    SwfHeader header;
    header.compression = bytes[0] == 'F' ? SwfHeader::Compression::None
        : bytes[0] == 'C'                ? SwfHeader::Compression::Zlib
                                         : SwfHeader::Compression::Lzma;
    header.version = static_cast<unsigned char>(bytes[3]);
    header.fileLength = le32(bytes, 4);
    if (header.fileLength < 8)
        return Error{"the header is cut short"};
    const size_t wanted = std::min<size_t>(kBodyFieldsBytes, header.fileLength - 8);

    Result<std::string> body = std::string();
    switch (header.compression) {
    case SwfHeader::Compression::None:
        body = std::string(bytes.substr(8, wanted));
        break;
    case SwfHeader::Compression::Zlib:
        body = inflatePrefix(bytes.substr(8), wanted);
        break;
    case SwfHeader::Compression::Lzma:
        if (bytes.size() < 12)
            return Error{"the header is cut short"};
        body = unlzmaPrefix(bytes.substr(12), header.fileLength - 8, wanted);
        break;
    }
    if (!body)
        return body.error();

    BitReader bits(*body);
    if (!bits.has(5))
        return Error{"the header is cut short"};
    const int n = static_cast<int>(bits.unsignedBits(5));
    if (!bits.has(static_cast<size_t>(4 * n)))
        return Error{"the header is cut short"};
    const std::int32_t xMin = bits.signedBits(n), xMax = bits.signedBits(n);
    const std::int32_t yMin = bits.signedBits(n), yMax = bits.signedBits(n);
    const size_t at = bits.byteAfter();
    if (body->size() < at + 4)
        return Error{"the header is cut short"};
    const std::int64_t width = std::int64_t(xMax) - xMin, height = std::int64_t(yMax) - yMin;
    // Flash draws at most 8191 pixels a side; anything else is not a movie a screen can show.
    constexpr std::int64_t kLargest = 8191 * 20;
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest)
        return Error{"the frame size is impossible"};
    header.widthTwips = static_cast<std::int32_t>(width);
    header.heightTwips = static_cast<std::int32_t>(height);
    header.frameRate = le16(*body, at) / 256.0; // 8.8 fixed point
    header.frameCount = le16(*body, at + 2);
    return header;
}

std::string describeSwfHeader(const SwfHeader& h)
{
    char text[160];
    if (h.frameRate > 0)
        std::snprintf(text, sizeof text, "%d \xC3\x97 %d, %g fps, %u frames (%.1f s), Flash %d", h.width(), h.height(),
                      h.frameRate, unsigned(h.frameCount), h.seconds(), h.version);
    else
        std::snprintf(text, sizeof text, "%d \xC3\x97 %d, %u frames, Flash %d", h.width(), h.height(),
                      unsigned(h.frameCount), h.version);
    return text;
}

} // namespace lumo::formats
