#include "FileSystem.h"

namespace lumo::platform {

Error cannotCreateFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot create file \"%s\". %s", {path, reason})};
}

Error cannotOpenFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot open file \"%s\". %s", {path, reason})};
}

Error cannotWriteFile(const std::string& path, const std::string& reason)
{
    return {formatMessage("Cannot write file \"%s\". %s", {path, reason})};
}

} // namespace lumo::platform
