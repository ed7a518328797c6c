// The PE reader: any bytes parse or fail cleanly, their resources read or fail cleanly, and what
// reads can be written back and read again to the same resources.
#include "formats/PeImage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    lumo::Result<lumo::formats::PeImage> image
        = lumo::formats::PeImage::parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz");
    if (!image)
        return 0;
    lumo::Result<std::vector<lumo::formats::ResourceEntry>> resources = image->resources();
    if (!resources)
        return 0;
    resources->push_back({lumo::formats::ResourceId::id(10), lumo::formats::ResourceId::name("FILELIST"), 0, "x", 0});
    lumo::Result<std::string> written = image->withResources(*resources);
    if (!written)
        return 0; // no room for another section, for instance
    lumo::Result<lumo::formats::PeImage> again = lumo::formats::PeImage::parse(*written, "again");
    if (!again || !again->resources())
        std::abort();
    return 0;
}
