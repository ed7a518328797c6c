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
