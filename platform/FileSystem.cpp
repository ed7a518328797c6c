#include "FileSystem.h"
#include "WebClient.h"

#include <optional>

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

std::optional<unsigned long> processIdAfter(const std::string& name, const std::string& prefix)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    size_t end = prefix.size();
    unsigned long id = 0;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9' && id < 1000000000UL)
        id = id * 10 + static_cast<unsigned long>(name[end++] - '0');
    if (end == prefix.size() || end >= name.size() || name[end] != '-')
        return std::nullopt;
    return id;
}

void removeStaleTemporaries(FileSystem& files, const std::string& path)
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
        if (entry.isFolder)
            continue;
        const std::optional<unsigned long> id = processIdAfter(entry.name, prefix);
        if (id && *id != files.processId() && !files.processRuns(*id))
            files.removeFile(start + entry.name);
    }
}

namespace {

// A folder reached by its path at every step: for file systems without handles (test stand-ins).
class PathFolder final : public FolderHandle {
public:
    PathFolder(FileSystem& files, std::string path, char separator)
        : m_files(files)
        , m_path(std::move(path))
        , m_separator(separator)
    {
    }
    const std::string& path() const override { return m_path; }
    Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& name) override
    {
        const std::string path = m_path + m_separator + name;
        if (!m_files.exists(path))
            m_files.createFolder(path);
        else if (!m_files.isFolder(path) && !m_files.fileSize(path))
            return Error{"\"" + path + "\" is a link, not a folder"};
        if (!m_files.isFolder(path))
            return cannotCreateFile(path, "It is not a folder.");
        return std::unique_ptr<FolderHandle>(std::make_unique<PathFolder>(m_files, path, m_separator));
    }
    bool exists(const std::string& name) override { return m_files.exists(m_path + m_separator + name); }
    Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& name) override
    {
        return m_files.replaceFile(m_path + m_separator + name);
    }

private:
    FileSystem& m_files;
    std::string m_path;
    char m_separator;
};

} // namespace

Result<MappedBytes> FileSystem::mapFile(const std::string& path)
{
    Result<std::string> read = readFile(path);
    if (!read)
        return read.error();
    auto owned = std::make_shared<const std::string>(std::move(*read));
    const std::string_view view = *owned;
    return MappedBytes{view, std::move(owned)};
}

Result<std::unique_ptr<FolderHandle>> FileSystem::openFolder(const std::string& path)
{
    if (!isFolder(path))
        return cannotCreateFile(path, "It is not a folder.");
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    return std::unique_ptr<FolderHandle>(std::make_unique<PathFolder>(*this, path, separator));
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
