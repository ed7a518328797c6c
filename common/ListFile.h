// Text list files: one entry a line, every line (the last included) ending in CR LF; an empty list
// is a file of 0 bytes. Readers split at CR LF, a lone CR and a lone LF, stop at the first NUL, and
// count a last line that has no line end. Bytes are passed through unchanged.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

std::string joinListLines(const std::vector<std::string>& lines);
std::vector<std::string> splitListLines(std::string_view bytes);

// The file is replaced atomically.
Status writeListFile(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines);
Result<std::vector<std::string>> readListFile(platform::FileSystem& files, const std::string& path);

} // namespace lumo
