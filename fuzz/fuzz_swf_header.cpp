// The reader of a Flash movie's header (plain, zlib and LZMA bodies): any bytes give a header with
// a size a screen can hold, or a reason.
#include "formats/SwfHeader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lumo::Result<lumo::formats::SwfHeader> header = lumo::formats::readSwfHeader(bytes);
    if (header) {
        if (header->width() < 0 || header->height() < 0 || header->width() > 8191 || header->height() > 8191)
            __builtin_trap();
        (void)lumo::formats::describeSwfHeader(*header);
    }
    return 0;
}
