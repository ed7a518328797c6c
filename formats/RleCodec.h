// The block run-length codec of the storage container. A file codes as its int32 size followed by
// blocks of at most 65533 input bytes, each a uint16 body length and the body. A body starts with
// a uint16 head:
//  - head < 256, escape mode: the head is the escape byte E, the lowest byte value absent from the
//    block. Other bytes are literals; E, F, N means F repeated N + 1 times, N one byte from 3 to
//    255, or 0 and a uint16 count.
//  - head >= 256, position-table mode (all 256 values occur): literals up to offset head, where a
//    run's byte F is followed at once by its count (one byte 4..255, or 0 and a uint16); from head
//    to the end a table of uint16 offsets of the count bytes, the first run's entry last.
// Decoding is bounded: every offset, count and length is checked against the block and the size
// the caller expects, and a damaged block is reported, never read or written past.
#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumo::formats {

inline constexpr size_t kRleBlockSize = 65533;

std::string RlePackBlock(std::string_view block);
// Appends exactly `expected` bytes to out, or fails naming the fault.
Status RleUnpackBlock(std::string_view body, size_t expected, std::string& out);

// The size field followed by the blocks.
std::string RlePack(std::string_view bytes);
// `blocks` is the coded data after its size field; the result has exactly `size` bytes.
Result<std::string> RleUnpack(std::string_view blocks, std::int64_t size);
// The same, handed to sink one decoded block at a time: memory stays at one block whatever the
// size (a few hundred coded bytes can stand for gigabytes).
Status RleUnpackTo(std::string_view blocks, std::int64_t size, const std::function<Status(std::string_view)>& sink);
// Whether the blocks are there for `size` bytes, without decoding them.
Status RleCheckBlocks(std::string_view blocks, std::int64_t size);

} // namespace lumo::formats
