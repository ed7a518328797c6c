// The storage container ("StoredData") in which the editor carries whole files:
//   "SFP1", int32 count, then per file: int32 name length, the name (Windows-1252), int32 coded
//   length, the bytes coded by RlePack.
// The older uncoded layout (int32 count, four ignored bytes, then per file the name and its raw
// bytes) is read too. The reader checks every length against the bytes present and every record
// against its stated size; a damaged container is reported with the record and the fault.
#pragma once

#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::formats {

enum class ToplevelDir {
    tdCurrentDir,
    tdWindowsDir,
    tdTempDir,
    tdSystemDir,
    tdMediaDir,
    tdCursorsDir,
    tdHelpDir,
    tdSamplesDir,
    tdDesktop,
    tdProgramFiles,
    tdMyDocuments,
    tdMyPictures,
    tdAppData,
    tdNone,
};

enum class FileStorageOverwrite { owIfSizeDifferent, owNever, owAlways };

struct ExtractTo {
    bool CreatePath = true;
    ToplevelDir toplevelDir = ToplevelDir::tdCurrentDir;
    std::string Subdirectory;
};

struct AutoExtract {
    bool Enabled = false;
    ExtractTo extractTo;
    FileStorageOverwrite Overwrite = FileStorageOverwrite::owIfSizeDifferent;
    bool RemoveOnTerminate = false;
};

struct StorageServices {
    platform::FileSystem& files;
    platform::Environment& environment;
    platform::Registry& registry;
};

class FileStorage;

// A stored file: its bytes as added, or, for one read from a container, its coded blocks (in the
// container's bytes, which the storage keeps), decoded only when asked, one block at a time.
class StoredFile {
public:
    StoredFile(FileStorage& storage, std::string name, std::string bytes)
        : m_storage(storage)
        , m_name(std::move(name))
        , m_size(static_cast<std::int64_t>(bytes.size()))
        , m_bytes(std::move(bytes))
    {
    }
    StoredFile(FileStorage& storage, std::string name, std::string_view blocks, std::int32_t size)
        : m_storage(storage)
        , m_name(std::move(name))
        , m_size(size)
        , m_blocks(blocks)
        , m_coded(true)
    {
    }
    // A file on the disk, read when the storage is written; its size is taken now.
    StoredFile(FileStorage& storage, std::string name, std::string path, std::uint64_t size)
        : m_storage(storage)
        , m_name(std::move(name))
        , m_size(static_cast<std::int64_t>(size))
        , m_path(std::move(path))
    {
    }

    const std::string& name() const { return m_name; } // UTF-8
    std::int32_t size() const { return static_cast<std::int32_t>(m_size); }
    std::uint64_t byteSize() const { return static_cast<std::uint64_t>(m_size); }
    // The whole file in memory: for files known to be small.
    Result<std::string> bytes() const;
    // The file block by block into out.
    Status writeTo(platform::OutputFile& out) const;
    // The file in pieces of at most one coding block, in order.
    Status forEachBlock(const std::function<Status(std::string_view)>& sink) const;

    // Raises OnExtract (a refusal writes nothing and counts as success), creates the folders of the
    // path when asked, writes the file whole or not at all, raises OnExtracted.
    bool SaveToFile(const std::string& path, bool createPath);
    // The same, saying why it failed.
    Status save(const std::string& path, bool createPath) const;

private:
    FileStorage& m_storage;
    std::string m_name;
    std::int64_t m_size;
    std::string m_bytes; // as added
    std::string_view m_blocks; // as read: the coded blocks after the size field
    bool m_coded = false;
    std::string m_path; // on the disk
};

class FileStorage {
public:
    explicit FileStorage(StorageServices services)
        : m_services(services)
    {
    }
    // Removes what automatic extraction wrote, when asked to.
    ~FileStorage();
    FileStorage(const FileStorage&) = delete;
    FileStorage& operator=(const FileStorage&) = delete;

    // Fails naming the source, the record and the fault; the storage is then left empty.
    Status ReadData(std::string_view stream, const std::string& sourceName);
    // The same for a container the storage keeps as it is (a mapped file), with no copy.
    Status ReadData(platform::MappedBytes container, const std::string& sourceName);
    // Always the coded layout. Refuses files of 2 GiB or more and names Windows-1252 cannot hold.
    Result<std::string> WriteData() const;
    // The same, streamed: one coding block of one file in memory at a time.
    Status WriteData(platform::OutputFile& out) const;

    // Appends a file (name in UTF-8).
    void add(std::string name, std::string bytes);
    // Appends the file at path, read only when the storage is written.
    Status addFile(std::string name, const std::string& path);

    int Count() const { return static_cast<int>(m_files.size()); }
    std::int64_t DataSize() const;
    const StoredFile& file(int index) const { return *m_files.at(static_cast<size_t>(index)); }
    bool coded() const { return m_coded; }

    // An empty path means GetExtractDir() + the file's name. false for an index out of range.
    bool ExtractFile(int index, const std::string& path);
    std::string GetExtractDir() const;
    // What the owning window does once it is loaded: extraction by AutoExtract's rules.
    void loaded();

    AutoExtract autoExtract;
    std::function<void(const std::string& fileName, std::int32_t size, bool& allow)> OnExtract;
    std::function<void(const std::string& fileName, std::int32_t size, bool successfully)> OnExtracted;

private:
    friend class StoredFile;

    StorageServices m_services;
    std::vector<std::unique_ptr<StoredFile>> m_files;
    bool m_coded = true;
    // The container read last, and what keeps it: stored files read from it point into it.
    std::string_view m_source;
    std::shared_ptr<const void> m_sourceOwner;
    std::vector<std::string> m_written;
};

} // namespace lumo::formats
