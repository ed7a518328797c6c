#include "RleCodec.h"

#include "ByteReader.h"

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

// The first position from p on where a run of at least minRun equal bytes starts, or size.
size_t nextRun(const unsigned char* b, size_t size, size_t p, size_t minRun)
{
    while (p + minRun <= size) {
        // Most bytes differ from their neighbour: skip those two at a time.
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

// Appends F repeated count times, within what the block may still yield.
Status putRun(std::string& out, size_t limit, char byte, size_t count)
{
    if (out.size() + count > limit)
        return fault("a run of " + std::to_string(count) + " bytes reaches past the block's end");
    out.append(count, byte);
    return {};
}

} // namespace

std::string RlePackBlock(std::string_view block)
{
    const auto* b = reinterpret_cast<const unsigned char*>(block.data());
    const size_t m = block.size();
    std::array<bool, 256> present {};
    for (size_t i = 0; i < m; ++i)
        present[b[i]] = true;
    int escape = -1;
    for (int v = 0; v < 256 && escape < 0; ++v)
        if (!present[static_cast<size_t>(v)])
            escape = v;

    // Neither mode grows a block by more than its head.
    std::string body(m + 2, '\0');
    char* const start = body.data();
    char* out = start + 2;
    if (escape >= 0) {
        start[0] = static_cast<char>(escape);
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
        body.resize(static_cast<size_t>(out - start));
        return body;
    }

    std::vector<std::uint16_t> offsets;
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
        offsets.push_back(static_cast<std::uint16_t>(out - start));
        out = putCount(out, r - 1);
        p = run + r;
    }
    const auto head = static_cast<std::uint16_t>(out - start);
    start[0] = static_cast<char>(head & 0xFF);
    start[1] = static_cast<char>(head >> 8);
    body.resize(head);
    for (auto it = offsets.rbegin(); it != offsets.rend(); ++it)
        putU16(body, *it);
    return body;
}

Status RleUnpackBlock(std::string_view body, size_t expected, std::string& out)
{
    const size_t start = out.size();
    const size_t limit = start + expected;
    ByteReader reader(body);
    const auto head = reader.u16();
    if (!head)
        return fault("the body is shorter than its head");

    const auto readCount = [](ByteReader& r) -> std::optional<size_t> {
        const auto n = r.u8();
        if (!n)
            return std::nullopt;
        if (*n != 0)
            return *n;
        const auto wide = r.u16();
        return wide ? std::optional<size_t>(*wide) : std::nullopt;
    };

    if (*head < 256) {
        const auto escape = static_cast<char>(*head);
        while (!reader.atEnd()) {
            // Literals up to the next escape byte, in one piece.
            const std::string_view rest = body.substr(reader.position());
            const size_t literals = std::min(rest.find(escape), rest.size());
            if (out.size() + literals > limit)
                return fault("it holds more bytes than the block should");
            out.append(rest.data(), literals);
            reader.bytes(literals);
            if (reader.atEnd())
                break;
            reader.u8(); // the escape byte
            const auto byte = reader.u8();
            const auto count = byte ? readCount(reader) : std::nullopt;
            if (!count)
                return fault("a run is cut off at the block's end");
            if (Status s = putRun(out, limit, static_cast<char>(*byte), *count + 1); !s)
                return s;
        }
    } else {
        const size_t tableStart = *head;
        if (tableStart > body.size() || (body.size() - tableStart) % 2 != 0)
            return fault("its position table (at " + std::to_string(tableStart) + ") does not fit the body of "
                         + std::to_string(body.size()) + " bytes");
        size_t current = 2;
        for (size_t entry = body.size(); entry > tableStart; entry -= 2) {
            const size_t q = static_cast<unsigned char>(body[entry - 2])
                             | (static_cast<size_t>(static_cast<unsigned char>(body[entry - 1])) << 8);
            // The count byte at q follows its run's byte at q - 1; both lie in the data area.
            if (q <= current || q >= tableStart)
                return fault("a table entry (" + std::to_string(q) + ") lies outside the data area");
            const std::string_view literals = body.substr(current, q - 1 - current);
            if (out.size() + literals.size() > limit)
                return fault("it holds more bytes than the block should");
            out += literals;
            ByteReader counts(body.substr(q, tableStart - q));
            const auto count = readCount(counts);
            if (!count)
                return fault("a run's count is cut off at the table");
            if (Status s = putRun(out, limit, body[q - 1], *count + 1); !s)
                return s;
            current = q + counts.position();
        }
        if (current > tableStart)
            return fault("a run's count overlaps the table");
        const std::string_view rest = body.substr(current, tableStart - current);
        if (out.size() + rest.size() > limit)
            return fault("it holds more bytes than the block should");
        out += rest;
    }
    if (out.size() != limit)
        return fault("it decodes to " + std::to_string(out.size() - start) + " bytes instead of "
                     + std::to_string(expected));
    return {};
}

std::string RlePack(std::string_view bytes)
{
    std::string coded;
    coded.reserve(4 + bytes.size() + 4 * (bytes.size() / kRleBlockSize + 1));
    putU32(coded, static_cast<std::uint32_t>(bytes.size()));
    for (size_t offset = 0; offset < bytes.size(); offset += kRleBlockSize) {
        const std::string body = RlePackBlock(bytes.substr(offset, kRleBlockSize));
        putU16(coded, static_cast<std::uint16_t>(body.size()));
        coded += body;
    }
    return coded;
}

Result<std::string> RleUnpack(std::string_view blocks, std::int64_t size)
{
    if (size < 0)
        return Error{"damaged data: a negative size (" + std::to_string(size) + ")"};
    std::string out;
    ByteReader reader(blocks);
    const auto total = static_cast<size_t>(size);
    // Grows block by block: a size that the data cannot back is never allocated up front.
    while (out.size() < total) {
        const auto length = reader.u16();
        const auto body = length ? reader.bytes(*length) : std::nullopt;
        if (!body)
            return Error{"damaged data: it ends after " + std::to_string(out.size()) + " of " + std::to_string(total)
                         + " bytes"};
        const size_t expected = std::min(kRleBlockSize, total - out.size());
        if (Status s = RleUnpackBlock(
                std::string_view(reinterpret_cast<const char*>(body->data()), body->size()), expected, out);
            !s)
            return Error{s.message() + " (block at offset " + std::to_string(reader.position() - *length - 2) + ")"};
    }
    if (!reader.atEnd())
        return Error{"damaged data: " + std::to_string(reader.remaining()) + " bytes follow the last block"};
    return out;
}

} // namespace lumo::formats
