// A resource's bytes: held in memory, or left in a file that is read only while the image is
// written, so that a payload of any size passes through a small buffer instead of memory.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumo::formats {

class ResourceData {
public:
    ResourceData() = default;
    ResourceData(std::string bytes)
        : m_bytes(std::move(bytes))
    {
    }
    ResourceData(const char* bytes)
        : m_bytes(bytes)
    {
    }
    // The file's size is taken now; reading it later gives an error if it has changed meanwhile.
    static Result<ResourceData> inFile(platform::FileSystem& files, const std::string& path);

    std::uint64_t size() const { return m_files ? m_fileSize : m_bytes.size(); }
    bool inMemory() const { return m_files == nullptr; }
    // The bytes when they are held in memory (as read from an image); empty for a file's.
    const std::string& bytes() const { return m_bytes; }

    // Hands the bytes to sink in order, in pieces; a file's are read afresh at each call.
    Status forEachPiece(const std::function<Status(std::string_view)>& sink) const;

private:
    std::string m_bytes;
    platform::FileSystem* m_files = nullptr;
    std::string m_path;
    std::uint64_t m_fileSize = 0;
};

} // namespace lumo::formats
