#include "RleCodec.h"

#include "ByteReader.h"

#include <optional>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace lumo::formats {

namespace {

// The length of the run of equal bytes that starts at p.
size_t runAt(const unsigned char* b, size_t size, size_t p)
{
    size_t r = 1;
    while (p + r < size && b[p + r] == b[p])
        ++r;
    return r;
}

// Whether any byte of x is zero.
constexpr bool hasZeroByte(std::uint64_t x)
{
    return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0;
}

// The first position from p on where a run of at least minRun equal bytes starts, or size.
size_t nextRun(const unsigned char* b, size_t size, size_t p, size_t minRun)
{
    while (p + minRun <= size) {
        // Most bytes differ from their neighbour: skip eight of those at a time.
        if (p + 9 <= size) {
            std::uint64_t here;
            std::uint64_t next;
            std::memcpy(&here, b + p, 8);
            std::memcpy(&next, b + p + 1, 8);
            if (!hasZeroByte(here ^ next)) {
                p += 8;
                continue;
            }
        }
        if (b[p] != b[p + 1]) {
            ++p;
            continue;
        }
        size_t r = 2;
        while (r < minRun && b[p + r] == b[p])
            ++r;
        if (r == minRun)
            return p;
        p += r - 1;
    }
    return size;
}

char* putCount(char* out, size_t count)
{
    if (count < 256) {
        *out++ = static_cast<char>(count);
    } else {
        *out++ = '\0';
        *out++ = static_cast<char>(count & 0xFF);
        *out++ = static_cast<char>(count >> 8);
    }
    return out;
}

Status fault(const std::string& what)
{
    return Error{"damaged block: " + what};
}

// Codes one block into out, which has room for m + 2 bytes (neither mode grows a block by more
// than its head); returns the body's length.
size_t packBlockInto(const unsigned char* b, size_t m, char* const start)
{
    // Most program blocks hold all 256 values within their first few kilobytes.
    std::array<bool, 256> present{};
    size_t distinct = 0;
    for (size_t i = 0; i < m && distinct < 256; ++i) {
        if (!present[b[i]]) {
            present[b[i]] = true;
            ++distinct;
        }
    }
    int escape = -1;
    for (int v = 0; v < 256 && escape < 0; ++v)
        if (!present[static_cast<size_t>(v)])
            escape = v;

    char* out = start + 2;
    if (escape >= 0) {
        start[0] = static_cast<char>(escape);
        start[1] = '\0';
        for (size_t p = 0; p < m;) {
            const size_t run = nextRun(b, m, p, 4);
            std::memcpy(out, b + p, run - p);
            out += run - p;
            if (run == m)
                break;
            const size_t r = runAt(b, m, run);
            *out++ = static_cast<char>(escape);
            *out++ = static_cast<char>(b[run]);
            out = putCount(out, r - 1);
            p = run + r;
        }
        return static_cast<size_t>(out - start);
    }

    // Count offsets wait here until the data area's end is known; at most one run per 5 bytes.
    std::uint16_t offsets[kRleBlockSize / 5 + 1];
    size_t runs = 0;
    for (size_t p = 0; p < m;) {
        const size_t run = nextRun(b, m, p, 5);
        if (run == m) {
            std::memcpy(out, b + p, m - p);
            out += m - p;
            break;
        }
        // The run's byte stands as a literal, its count right after it.
        std::memcpy(out, b + p, run - p + 1);
        out += run - p + 1;
        const size_t r = runAt(b, m, run);
        offsets[runs++] = static_cast<std::uint16_t>(out - start);
        out = putCount(out, r - 1);
        p = run + r;
    }
    const auto head = static_cast<std::uint16_t>(out - start);
    start[0] = static_cast<char>(head & 0xFF);
    start[1] = static_cast<char>(head >> 8);
    while (runs > 0) {
        const std::uint16_t offset = offsets[--runs];
        *out++ = static_cast<char>(offset & 0xFF);
        *out++ = static_cast<char>(offset >> 8);
    }
    return static_cast<size_t>(out - start);
}

} // namespace

std::string RlePackBlock(std::string_view block)
{
    std::string body(block.size() + 2, '\0');
    body.resize(packBlockInto(reinterpret_cast<const unsigned char*>(block.data()), block.size(), body.data()));
    return body;
}

Status RleUnpackBlock(std::string_view body, size_t expected, std::string& out)
{
    const size_t start = out.size();
    out.resize(start + expected);
    char* const first = out.data() + start;
    char* const last = first + expected;
    char* o = first;
    const auto* b = reinterpret_cast<const unsigned char*>(body.data());
    const size_t length = body.size();
    const auto done = [&](Status status) {
        out.resize(start + static_cast<size_t>(o - first));
        return status;
    };
    const auto literals = [&](size_t from, size_t count) {
        if (count > static_cast<size_t>(last - o))
            return false;
        std::memcpy(o, b + from, count);
        o += count;
        return true;
    };
    const auto run = [&](unsigned char byte, size_t count) {
        if (count > static_cast<size_t>(last - o))
            return false;
        std::memset(o, byte, count);
        o += count;
        return true;
    };
    // The count at q: one byte, or 0 and a uint16; nullopt when it runs past end.
    const auto countAt = [&](size_t q, size_t end, size_t& after) -> std::optional<size_t> {
        if (q >= end)
            return std::nullopt;
        if (b[q] != 0) {
            after = q + 1;
            return b[q];
        }
        if (q + 3 > end)
            return std::nullopt;
        after = q + 3;
        return static_cast<size_t>(b[q + 1] | (b[q + 2] << 8));
    };
    const auto tooLong = [&] { return done(fault("it holds more bytes than the block should")); };

    if (length < 2)
        return done(fault("the body is shorter than its head"));
    const size_t head = b[0] | (b[1] << 8);

    if (head < 256) {
        const auto escape = static_cast<unsigned char>(head);
        for (size_t p = 2; p < length;) {
            const auto* hit = static_cast<const unsigned char*>(std::memchr(b + p, escape, length - p));
            const size_t stop = hit ? static_cast<size_t>(hit - b) : length;
            if (!literals(p, stop - p))
                return tooLong();
            if (!hit)
                break;
            size_t after = 0;
            const auto count = stop + 1 < length ? countAt(stop + 2, length, after) : std::nullopt;
            if (!count)
                return done(fault("a run is cut off at the block's end"));
            if (!run(b[stop + 1], *count + 1))
                return done(fault("a run of " + std::to_string(*count + 1) + " bytes reaches past the block's end"));
            p = after;
        }
    } else {
        if (head > length || (length - head) % 2 != 0)
            return done(fault("its position table (at " + std::to_string(head) + ") does not fit the body of "
                              + std::to_string(length) + " bytes"));
        size_t current = 2;
        for (size_t entry = length; entry > head; entry -= 2) {
            const size_t q = b[entry - 2] | (b[entry - 1] << 8);
            // The count byte at q follows its run's byte at q - 1; both lie in the data area.
            if (q <= current || q >= head)
                return done(fault("a table entry (" + std::to_string(q) + ") lies outside the data area"));
            if (!literals(current, q - 1 - current))
                return tooLong();
            size_t after = 0;
            const auto count = countAt(q, head, after);
            if (!count)
                return done(fault("a run's count is cut off at the table"));
            if (!run(b[q - 1], *count + 1))
                return done(fault("a run of " + std::to_string(*count + 1) + " bytes reaches past the block's end"));
            current = after;
        }
        if (!literals(current, head - current))
            return tooLong();
    }
    if (o != last)
        return done(
            fault("it decodes to " + std::to_string(o - first) + " bytes instead of " + std::to_string(expected)));
    return {};
}

std::string RlePack(std::string_view bytes)
{
    const size_t blocks = (bytes.size() + kRleBlockSize - 1) / kRleBlockSize;
    std::string coded(4 + bytes.size() + 4 * blocks, '\0');
    char* out = coded.data();
    const auto size = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        *out++ = static_cast<char>((size >> (8 * i)) & 0xFF);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t offset = 0; offset < bytes.size(); offset += kRleBlockSize) {
        const size_t length = packBlockInto(in + offset, std::min(kRleBlockSize, bytes.size() - offset), out + 2);
        out[0] = static_cast<char>(length & 0xFF);
        out[1] = static_cast<char>(length >> 8);
        out += 2 + length;
    }
    coded.resize(static_cast<size_t>(out - coded.data()));
    return coded;
}

Status RleUnpackTo(std::string_view blocks, std::int64_t size, const std::function<Status(std::string_view)>& sink)
{
    if (size < 0)
        return Error{"damaged data: a negative size (" + std::to_string(size) + ")"};
    ByteReader reader(blocks);
    const auto total = static_cast<std::uint64_t>(size);
    std::uint64_t done = 0;
    std::string block;
    while (done < total) {
        const auto length = reader.u16();
        const auto body = length ? reader.bytes(*length) : std::nullopt;
        if (!body)
            return Error{"damaged data: it ends after " + std::to_string(done) + " of " + std::to_string(total)
                         + " bytes"};
        const size_t expected = static_cast<size_t>(std::min<std::uint64_t>(kRleBlockSize, total - done));
        block.clear();
        if (Status s = RleUnpackBlock(std::string_view(reinterpret_cast<const char*>(body->data()), body->size()),
                                      expected, block);
            !s)
            return Error{s.message() + " (block at offset " + std::to_string(reader.position() - *length - 2) + ")"};
        if (Status s = sink(block); !s)
            return s;
        done += expected;
    }
    if (!reader.atEnd())
        return Error{"damaged data: " + std::to_string(reader.remaining()) + " bytes follow the last block"};
    return {};
}

Status RleCheckBlocks(std::string_view blocks, std::int64_t size)
{
    if (size < 0)
        return Error{"damaged data: a negative size (" + std::to_string(size) + ")"};
    ByteReader reader(blocks);
    const auto total = static_cast<std::uint64_t>(size);
    for (std::uint64_t done = 0; done < total; done += kRleBlockSize) {
        const auto length = reader.u16();
        if (!length || !reader.bytes(*length))
            return Error{"damaged data: it ends after " + std::to_string(done) + " of " + std::to_string(total)
                         + " bytes"};
    }
    if (!reader.atEnd())
        return Error{"damaged data: " + std::to_string(reader.remaining()) + " bytes follow the last block"};
    return {};
}

Result<std::string> RleUnpack(std::string_view blocks, std::int64_t size)
{
    if (Status checked = RleCheckBlocks(blocks, size); !checked)
        return checked.error();
    // The blocks are there: room for the size is backed by the data present.
    std::string out;
    out.reserve(static_cast<size_t>(size));
    if (Status s = RleUnpackTo(blocks, size,
                               [&](std::string_view block) -> Status {
                                   out += block;
                                   return {};
                               });
        !s)
        return s.error();
    return out;
}

} // namespace lumo::formats
