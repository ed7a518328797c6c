// The player's reader of param.lis: any bytes give lines, and every line converts or fails cleanly.
#include "player/core/ParamFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lumo::player::ParamLines lines = lumo::player::readParamLines(bytes, [] {});
    for (int line = 0; line <= static_cast<int>(lines.count()) + 1; ++line) {
        (void)lines.text(line);
        (void)lines.integer(line);
        (void)lines.boolean(line);
    }
    return 0;
}
