// An icon file (.ico): a 6-byte directory (reserved, type, count n), n 16-byte entries (width,
// height, colour count, reserved, planes, bit count, bytes in image, image offset), and the images.
// Reading checks the directory and every image range against the file; at least one image.
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo::formats {

struct IconImage {
    std::string entry; // the first 12 bytes of the directory entry, as the file has them
    std::string data;
};

Result<std::vector<IconImage>> readIconFile(std::string_view bytes, const std::string& sourceName);

} // namespace lumo::formats
