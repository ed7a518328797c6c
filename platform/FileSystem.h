// The file operations the portable core needs beyond std::filesystem: listing that tells links
// apart (removal must never follow one), attribute clearing and atomic replacement.
// Paths are UTF-8.
#pragma once

#include "Result.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo::platform {

struct FolderEntry {
    std::string name;
    bool isFolder = false; // a real folder, never a link to one
    bool isLink = false; // symbolic link, or on Windows any reparse point (junctions included)
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // A real folder: false for a link, even one that points at a folder.
    virtual bool isFolder(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;

    // Every entry but "." and "..", in the order the file system lists them; nullopt when the
    // folder cannot be listed.
    virtual std::optional<std::vector<FolderEntry>> list(const std::string& folder) = 0;

    // Windows: attributes := archive only. POSIX: make the entry writable by its owner.
    virtual bool clearAttributes(const std::string& path) = 0;

    // Removes a file or a link (a link to a folder included) without touching its target.
    virtual bool removeFile(const std::string& path) = 0;
    virtual bool removeEmptyFolder(const std::string& path) = 0;
    // One level; true when the folder exists afterwards.
    virtual bool createFolder(const std::string& path) = 0;

    virtual Result<std::string> readFile(const std::string& path) = 0;
    // Writes a temporary file beside path and renames it over path: a reader sees the old
    // bytes or the new ones, never a mix. Fails with "Cannot create file "<path>". <reason>".
    virtual Status writeFileAtomically(const std::string& path, const std::string& bytes) = 0;
};

Error cannotCreateFile(const std::string& path, const std::string& reason);
Error cannotOpenFile(const std::string& path, const std::string& reason);

} // namespace lumo::platform
