// The multi-file zlib archive: members one after another, no header, directory or count.
//   uint8 folder length, folder (Windows-1252, relative, "\"-terminated, may be empty),
//   uint8 name length, name, int32 uncompressed size, int32 compressed size,
//   one zlib stream (level 6, window 15, memory level 8, default strategy) of the whole file.
// Packing walks the folder depth first in file-system order; unpacking recreates each member
// under the destination. Unpacking refuses members whose folder or name could reach outside the
// destination, never writes through a link, and checks every length against the bytes present.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lumo::formats {

// An archive held in memory, read as a stream: its own copy, or a view of bytes that outlive it.
class MemoryInput final : public platform::InputFile {
public:
    struct View { };

    explicit MemoryInput(std::string bytes)
        : m_owned(std::move(bytes))
        , m_bytes(m_owned)
    {
    }
    MemoryInput(View, std::string_view bytes)
        : m_bytes(bytes)
    {
    }
    MemoryInput(const MemoryInput&) = delete;
    MemoryInput& operator=(const MemoryInput&) = delete;

    Result<size_t> read(char* buffer, size_t size) override;
    std::uint64_t size() const override { return m_bytes.size(); }

private:
    std::string m_owned;
    std::string_view m_bytes;
    size_t m_position = 0;
};

class ZlibMultiple {
public:
    explicit ZlibMultiple(platform::FileSystem& files)
        : m_files(files)
    {
    }

    // When false, every member's folder is written empty.
    bool StorePaths = true;

    std::function<void(const std::string& fileName)> OnCompressingFile;
    std::function<void(const std::string& fileName)> OnCompressedFile;
    std::function<void(std::int32_t position, std::int32_t total)> OnProgress;
    std::function<void(const std::string& fileName, bool& writeFile)> OnDecompressingFile;
    std::function<void(const std::string& fileName, std::uint32_t fileSize)> OnDecompressedFile;
    std::function<void()> OnCompletedAction;

    // The archive of the folder's files, in memory.
    Result<std::string> CompressDirectory(const std::string& folder, bool recursive);
    // Packs into a temporary file beside the archive, each member compressed straight into it (one
    // chunk in memory at a time), then gives it the archive's name. A failed or killed pack leaves
    // the old archive as it was.
    Status CompressDirectory(const std::string& folder, bool recursive, const std::string& archivePath);

    Status DecompressFile(const std::string& archivePath, const std::string& destination, bool overwrite,
                          bool relativePaths);
    // From the stream's current position to its end. sourceName names the archive in errors.
    Status DecompressStream(platform::InputFile& stream, const std::string& destination, bool overwrite,
                            bool relativePaths, const std::string& sourceName = "the archive");

private:
    Status walk(const std::string& root, const std::string& relative, bool recursive, const std::string& skip,
                platform::OutputFile& out);
    Status addMember(const std::string& fullPath, const std::string& relative, const std::string& name,
                     platform::OutputFile& out);
    void progress(std::uint64_t position, std::uint64_t total);

    platform::FileSystem& m_files;
};

// The text a zlib result code is reported with.
std::string zlibMessage(int code);

} // namespace lumo::formats
