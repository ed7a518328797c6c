// The icon-file reader: any bytes give images that lie inside them, or a clean error.
#include "formats/IconFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lumo::Result<std::vector<lumo::formats::IconImage>> images = lumo::formats::readIconFile(bytes, "fuzz");
    if (!images)
        return 0;
    if (images->empty())
        std::abort();
    for (const auto& image : *images)
        if (image.entry.size() != 12 || image.data.size() > size)
            std::abort();
    return 0;
}
