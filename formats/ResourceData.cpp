#include "ResourceData.h"

#include <algorithm>
#include <memory>

namespace lumo::formats {

Result<ResourceData> ResourceData::inFile(platform::FileSystem& files, const std::string& path)
{
    Result<std::unique_ptr<platform::InputFile>> file = files.openForReading(path);
    if (!file)
        return file.error();
    ResourceData data;
    data.m_files = &files;
    data.m_path = path;
    data.m_fileSize = (*file)->size();
    return data;
}

Status ResourceData::forEachPiece(const std::function<Status(std::string_view)>& sink) const
{
    if (!m_files)
        return m_bytes.empty() ? Status{} : sink(m_bytes);
    Result<std::unique_ptr<platform::InputFile>> file = m_files->openForReading(m_path);
    if (!file)
        return file.error();
    const auto changed = [&] { return Error{"\"" + m_path + "\" changed while it was being read"}; };
    if ((*file)->size() != m_fileSize)
        return changed();
    // Large enough to keep the calls few, small enough to stay in the cache.
    std::string buffer(std::min<std::uint64_t>(m_fileSize, 1 << 20), '\0');
    std::uint64_t left = m_fileSize;
    while (left) {
        Result<size_t> n
            = (*file)->read(buffer.data(), static_cast<size_t>(std::min<std::uint64_t>(left, buffer.size())));
        if (!n)
            return platform::cannotOpenFile(m_path, n.message());
        if (*n == 0)
            return changed();
        if (Status taken = sink(std::string_view(buffer.data(), *n)); !taken)
            return taken;
        left -= *n;
    }
    return {};
}

} // namespace lumo::formats
