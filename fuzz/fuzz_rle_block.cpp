// One block of the run-length codec: any body decodes or fails cleanly, never past the size asked
// for; and every block that packs unpacks to itself.
#include "formats/RleCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first two bytes choose the size expected of the rest taken as a body.
    const size_t expected = (data[0] | (data[1] << 8)) % (lumo::formats::kRleBlockSize + 1);
    std::string out;
    const lumo::Status decoded = lumo::formats::RleUnpackBlock(bytes.substr(2), expected, out);
    if (decoded && out.size() != expected)
        std::abort();
    if (out.size() > expected)
        std::abort();

    // The same bytes as a block to pack.
    const std::string_view block = bytes.substr(0, lumo::formats::kRleBlockSize);
    const std::string body = lumo::formats::RlePackBlock(block);
    if (body.size() > block.size() + 2)
        std::abort();
    std::string back;
    if (!lumo::formats::RleUnpackBlock(body, block.size(), back) || back != block)
        std::abort();
    return 0;
}
