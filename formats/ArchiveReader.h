// Reads an archive's members one at a time from a stream: each header, then its compressed data
// in pieces (one piece in memory at a time). Every length is checked against the bytes the stream
// still holds before anything is allocated; a short archive gives "Stream read error".
#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumo::formats {

struct MemberHeader {
    std::string folder; // as stored: Windows-1252, "\"-terminated when not empty
    std::string name;
    std::int32_t uncompressedSize = 0;
    std::int32_t compressedSize = 0;

    // Folder and name in UTF-8, for messages and listings.
    std::string displayName() const;
};

class ArchiveReader {
public:
    ArchiveReader(platform::InputFile& stream, std::string sourceName)
        : m_stream(stream)
        , m_sourceName(std::move(sourceName))
    {
    }

    // nullopt at the archive's end.
    Result<std::optional<MemberHeader>> nextHeader();
    Status skipData(const MemberHeader& member);
    // The member's compressed data in pieces of at most 64 KiB, in order.
    Status readData(const MemberHeader& member, const std::function<Status(std::string_view)>& sink);

    const std::string& sourceName() const { return m_sourceName; }

private:
    Status readField(size_t size, std::string& out, const std::string& member);
    Error readError(const std::string& member, const std::string& detail = {}) const;

    platform::InputFile& m_stream;
    std::string m_sourceName;
    std::uint64_t m_position = 0;
};

// The headers of every member, in order.
Result<std::vector<MemberHeader>> listArchive(platform::InputFile& stream, const std::string& sourceName);

} // namespace lumo::formats
