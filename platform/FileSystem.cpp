#include "FileSystem.h"
#include "WebClient.h"

namespace lumo::platform {

Error cannotCreateFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot create file \"%s\". %s", {path, reason})};
}

Error cannotFetch(const std::string& location, const std::string& reason)
{
    return {formatMessage("Cannot fetch \"%s\". %s", {location, reason})};
}

Error cannotOpenFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot open file \"%s\". %s", {path, reason})};
}

Error cannotWriteFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot write file \"%s\". %s", {path, reason})};
}

std::string temporaryNamePrefix(const std::string& path, unsigned long processId)
{
    return path + ".lumo-" + std::to_string(processId) + "-";
}

void removeStaleTemporaries(FileSystem& files, const std::string& path, const std::function<bool(unsigned long)>& alive)
{
    const size_t cut = path.find_last_of("/\\");
    // The folder as listed ("/" for a file at the root), and as the start of an entry's path.
    const std::string folder = cut == std::string::npos ? std::string(".") : path.substr(0, cut == 0 ? 1 : cut);
    const std::string start = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string prefix = path.substr(cut == std::string::npos ? 0 : cut + 1) + ".lumo-";
    const auto entries = files.list(folder);
    if (!entries)
        return;
    for (const FolderEntry& entry : *entries) {
        if (entry.isFolder || entry.name.compare(0, prefix.size(), prefix) != 0)
            continue;
        size_t end = prefix.size();
        unsigned long id = 0;
        while (end < entry.name.size() && entry.name[end] >= '0' && entry.name[end] <= '9' && id < 1000000000UL)
            id = id * 10 + static_cast<unsigned long>(entry.name[end++] - '0');
        if (end == prefix.size() || end >= entry.name.size() || entry.name[end] != '-' || alive(id))
            continue;
        files.removeFile(start + entry.name);
    }
}

Status FileSystem::writeFileAtomically(const std::string& path, std::string_view bytes)
{
    Result<std::unique_ptr<OutputFile>> file = replaceFile(path);
    if (!file)
        return file.error();
    if (Status written = (*file)->write(bytes); !written)
        return written;
    return (*file)->close();
}

} // namespace lumo::platform
