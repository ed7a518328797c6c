#include "ArchiveReader.h"

#include "ByteReader.h"

#include "common/Codepage.h"
#include "common/Text.h"

#include <algorithm>

namespace lumo::formats {

std::string MemberHeader::displayName() const
{
    // A damaged name may hold anything: shown escaped and cut short, an error stays one line.
    return escapedForDisplay(cp1252ToUtf8(folder + name), kShownNameLength);
}

Error ArchiveReader::readError(const std::string& member, const std::string& detail) const
{
    return {"Stream read error (" + m_sourceName + (member.empty() ? "" : ", member \"" + member + "\"") + ")"
            + (detail.empty() ? "" : ": " + detail)};
}

Status ArchiveReader::readField(size_t size, std::string& out, const std::string& member)
{
    const std::uint64_t total = m_stream.size();
    if (size > total - std::min(total, m_position))
        return readError(member);
    out.resize(size);
    size_t done = 0;
    while (done < size) {
        Result<size_t> n = m_stream.read(out.data() + done, size - done);
        if (!n)
            return readError(member, n.message());
        if (*n == 0)
            return readError(member);
        done += *n;
    }
    m_position += size;
    return {};
}

Result<std::optional<MemberHeader>> ArchiveReader::nextHeader()
{
    if (m_position >= m_stream.size())
        return std::optional<MemberHeader>();
    MemberHeader header;
    std::string field;
    if (Status s = readField(1, field, ""); !s)
        return s.error();
    if (Status s = readField(static_cast<unsigned char>(field[0]), header.folder, ""); !s)
        return s.error();
    const std::string folderName = cp1252ToUtf8(header.folder);
    if (Status s = readField(1, field, folderName); !s)
        return s.error();
    if (Status s = readField(static_cast<unsigned char>(field[0]), header.name, folderName); !s)
        return s.error();
    if (Status s = readField(8, field, header.displayName()); !s)
        return s.error();
    ByteReader sizes(field);
    header.uncompressedSize = *sizes.i32();
    header.compressedSize = *sizes.i32();
    if (header.uncompressedSize < 0 || header.compressedSize < 0)
        return Error{"The archive " + m_sourceName + " is damaged: member \"" + header.displayName()
                     + "\" states a negative size"};
    // The data must be there before anybody acts on the header.
    if (static_cast<std::uint64_t>(header.compressedSize) > m_stream.size() - m_position)
        return readError(header.displayName());
    return std::optional<MemberHeader>(std::move(header));
}

Status ArchiveReader::skipData(const MemberHeader& member)
{
    return readData(member, [](std::string_view) -> Status { return {}; });
}

Status ArchiveReader::readData(const MemberHeader& member, const std::function<Status(std::string_view)>& sink)
{
    std::string piece;
    for (size_t left = static_cast<size_t>(member.compressedSize); left > 0;) {
        const size_t n = std::min<size_t>(left, 65536);
        if (Status s = readField(n, piece, member.displayName()); !s)
            return s;
        if (Status s = sink(piece); !s)
            return s;
        left -= n;
    }
    return {};
}

Result<std::vector<MemberHeader>> listArchive(platform::InputFile& stream, const std::string& sourceName)
{
    ArchiveReader reader(stream, sourceName);
    std::vector<MemberHeader> members;
    for (;;) {
        Result<std::optional<MemberHeader>> header = reader.nextHeader();
        if (!header)
            return header.error();
        if (!*header)
            return members;
        if (Status s = reader.skipData(**header); !s)
            return s.error();
        members.push_back(std::move(**header));
    }
}

} // namespace lumo::formats
