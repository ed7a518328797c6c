#include "IconFile.h"

#include "ByteReader.h"

namespace lumo::formats {

Result<std::vector<IconImage>> readIconFile(std::string_view bytes, const std::string& sourceName)
{
    const auto fail
        = [&](const std::string& what) { return Error{"\"" + sourceName + "\" is not a usable icon file: " + what}; };
    ByteReader reader(bytes);
    reader.bytes(4); // reserved and type are never used
    const auto count = reader.u16();
    if (!count)
        return fail("it is shorter than its directory");
    if (*count == 0)
        return fail("it holds no image");
    if (reader.remaining() / 16 < *count)
        return fail("its directory of " + std::to_string(*count) + " images runs past the end of the file");
    std::vector<IconImage> images;
    for (size_t i = 0; i < *count; ++i) {
        const std::string_view entry = bytes.substr(6 + 16 * i, 16);
        ByteReader fields(entry.substr(8));
        const std::uint32_t size = *fields.u32();
        const std::uint32_t offset = *fields.u32();
        if (offset > bytes.size() || size > bytes.size() - offset)
            return fail("image " + std::to_string(i + 1) + " (" + std::to_string(size) + " bytes at offset "
                        + std::to_string(offset) + ") lies outside the file");
        images.push_back({std::string(entry.substr(0, 12)), std::string(bytes.substr(offset, size))});
    }
    return images;
}

} // namespace lumo::formats
