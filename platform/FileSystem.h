// The file operations the portable core needs beyond std::filesystem: listing that tells links
// apart (removal must never follow one), attribute clearing and atomic replacement.
// Paths are UTF-8.
#pragma once

#include "Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::platform {

struct FolderEntry {
    std::string name;
    bool isFolder = false; // a real folder, never a link to one
    bool isLink = false; // symbolic link, or on Windows any reparse point (junctions included)
    // Windows' hidden and system attributes both set. POSIX has no system attribute: never there.
    bool hiddenAndSystem = false;
};

// A file open for reading; others may read it meanwhile but not write it.
class InputFile {
public:
    virtual ~InputFile() = default;
    // Up to size bytes; 0 at the end.
    virtual Result<size_t> read(char* buffer, size_t size) = 0;
    virtual std::uint64_t size() const = 0;
};

// A file being written from its start.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual Status write(std::string_view bytes) = 0;
    // Overwrites bytes written before (a header completed once what follows it is known).
    virtual Status writeAt(std::uint64_t offset, std::string_view bytes) = 0;
    virtual std::uint64_t written() const = 0;
    virtual Status close() = 0;
};

// A folder to write in, held open where the system allows it: sub-folders and files are reached from
// it, never by looking a path up again, so a folder swapped for a link meanwhile is not followed.
class FolderHandle {
public:
    virtual ~FolderHandle() = default;
    virtual const std::string& path() const = 0;
    // The sub-folder name, made when missing; a link there is refused ("... is a link, not a folder").
    virtual Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& name) = 0;
    // Whether anything (a link included) stands at name.
    virtual bool exists(const std::string& name) = 0;
    // As FileSystem::replaceFile, for name in this folder: the name is replaced, never written through.
    virtual Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& name) = 0;
};

// A whole file's bytes, kept by owner: mapped where the system can map files (only the pages read
// are ever loaded), read into memory otherwise.
struct MappedBytes {
    std::string_view bytes;
    std::shared_ptr<const void> owner;
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
    // A new folder in parent named prefix and a random suffix, made in one step (never a name that
    // stood already, link or not), open to this user alone. Its path, or why it could not be made.
    virtual Result<std::string> createPrivateFolder(const std::string& parent, const std::string& prefix) = 0;

    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
    // Fails with "Cannot open file "<path>". <reason>".
    virtual Result<std::unique_ptr<InputFile>> openForReading(const std::string& path) = 0;
    // Creates or replaces the file; never writes through a link that stands at path. Fails with
    // "Cannot create file "<path>". <reason>".
    virtual Result<std::unique_ptr<OutputFile>> createFile(const std::string& path) = 0;
    // Replaces an existing target.
    virtual bool renameReplacing(const std::string& from, const std::string& to) = 0;

    virtual Result<std::string> readFile(const std::string& path) = 0;
    // Fails as readFile does.
    virtual Result<MappedBytes> mapFile(const std::string& path);
    // The path with every link in it followed, naming the file itself; path when it cannot be told.
    virtual std::string finalPath(const std::string& path) { return path; }
    // This process, and whether another runs: temporary names carry the id of their writer.
    virtual unsigned long processId() { return 0; }
    virtual bool processRuns(unsigned long) { return true; }
    // A file that takes path's place when it is closed: written beside path under a temporary name,
    // then renamed over it with the mode of the file it replaces, so that a reader sees the old bytes
    // or the new ones, never a mix. Destroyed without close(), it is removed and path stays as it was.
    // Every failure reads "Cannot create file "<path>". <reason>".
    virtual Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& path) = 0;
    Status writeFileAtomically(const std::string& path, std::string_view bytes);
    // The folder at path (which must exist). Where the system has no handles for it, a stand-in
    // that checks each folder by its path (this is what tests' file systems get).
    virtual Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& path);
};

// The temporary files a writer makes beside path are named "<path>.lumo-<process id>-<unique>", so
// the ones a killed writer left are known by their name: removeStaleTemporaries removes those of
// path whose process is gone, never a live writer's.
std::string temporaryNamePrefix(const std::string& path, unsigned long processId);
void removeStaleTemporaries(FileSystem& files, const std::string& path);
// The process id in a name "<prefix><id>-...", when the name has that form.
std::optional<unsigned long> processIdAfter(const std::string& name, const std::string& prefix);

Error cannotCreateFile(const std::string& path, const std::string& reason);
Error cannotOpenFile(const std::string& path, const std::string& reason);
Error cannotWriteFile(const std::string& path, const std::string& reason);

} // namespace lumo::platform
