#include "ListFile.h"

namespace lumo {

std::string joinListLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> splitListLines(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
}

Status writeListFile(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines)
{
    return files.writeFileAtomically(path, joinListLines(lines));
}

Result<std::vector<std::string>> readListFile(platform::FileSystem& files, const std::string& path)
{
    Result<std::string> bytes = files.readFile(path);
    if (!bytes)
        return bytes.error();
    return splitListLines(*bytes);
}

} // namespace lumo
