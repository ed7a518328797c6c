#include "ZlibArchive.h"

#include "ArchiveReader.h"
#include "ByteReader.h"
#include "MemberPath.h"

#include "common/Codepage.h"
#include "platform/Host.h"
#include "platform/MemoryFile.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <vector>

namespace lumo::formats {

namespace {

constexpr size_t kPiece = 1024;
constexpr size_t kChunk = 64 * kPiece;
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;
constexpr char kSep = platform::kHostSeparator;

class Deflater {
public:
    Deflater() { m_status = deflateInit2(&m_z, 6, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY); }
    ~Deflater() { deflateEnd(&m_z); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Compresses input and writes what comes out to out.
    Status feed(std::string_view input, int flush, platform::OutputFile& out)
    {
        if (m_status != Z_OK)
            return Error{zlibMessage(m_status)};
        m_z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        m_z.avail_in = static_cast<uInt>(input.size());
        char buffer[16384];
        int rc;
        do {
            m_z.next_out = reinterpret_cast<Bytef*>(buffer);
            m_z.avail_out = sizeof buffer;
            rc = deflate(&m_z, flush);
            if (rc == Z_STREAM_ERROR)
                return Error{zlibMessage(rc)};
            if (Status written = out.write(std::string_view(buffer, sizeof buffer - m_z.avail_out)); !written)
                return written;
        } while (m_z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        return {};
    }

private:
    z_stream m_z{};
    int m_status;
};

// Inflates one member as its compressed data is read, writing it (when out is set) and reporting
// the bytes written as if in pieces of 1024, the last empty piece included. Returns the bytes
// inflated. One piece of input and one chunk of output in memory at a time.
template <typename Progress>
Result<std::uint64_t> inflateMember(ArchiveReader& reader, const MemberHeader& header, platform::OutputFile* out,
                                    const std::string& member, const std::string& sourceName, Progress progress)
{
    const auto expected = static_cast<std::uint32_t>(header.uncompressedSize);
    z_stream z{};
    if (const int rc = inflateInit(&z); rc != Z_OK)
        return Error{zlibMessage(rc)};
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
    const auto failure
        = [&](const std::string& what) { return Error{what + " (" + sourceName + ", member \"" + member + "\")"}; };
    // Inflated and written in large chunks; the progress reports still step by 1024 bytes, as
    // they would if each piece were written by itself, and end with the last, empty piece.
    std::uint64_t count = 0;
    bool ended = false;
    std::vector<char> chunk(kChunk);
    const auto inflatePiece = [&](std::string_view piece) -> Status {
        if (ended)
            return {}; // what follows the stream's end within the member is not read as data
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        z.avail_in = static_cast<uInt>(piece.size());
        for (;;) {
            z.next_out = reinterpret_cast<Bytef*>(chunk.data());
            z.avail_out = static_cast<uInt>(chunk.size());
            const int rc = inflate(&z, Z_NO_FLUSH);
            if (rc == Z_BUF_ERROR && z.avail_in == 0)
                return {}; // this piece is used up: the next one goes on
            if (rc != Z_OK && rc != Z_STREAM_END)
                return failure(zlibMessage(rc));
            ended = rc == Z_STREAM_END;
            const size_t n = chunk.size() - z.avail_out;
            // A stream that yields more than its header states is refused before it can fill the disk.
            if (count + n > expected)
                return failure("damaged member: it inflates to more than the " + std::to_string(expected)
                               + " bytes its header states");
            if (out) {
                if (Status written = out->write(std::string_view(chunk.data(), n)); !written)
                    return written;
                for (size_t step = kPiece; step < n + kPiece; step += kPiece)
                    progress(count + std::min(step, n));
            }
            count += n;
            if (ended || (z.avail_in == 0 && z.avail_out != 0))
                return {};
        }
    };
    if (Status read = reader.readData(header, inflatePiece); !read)
        return read.error();
    if (!ended)
        return failure(zlibMessage(Z_BUF_ERROR)); // the data ended before the stream did
    if (out)
        progress(count);
    if (count != expected)
        return failure("damaged member: it inflates to " + std::to_string(count) + " bytes, not the "
                       + std::to_string(expected) + " its header states");
    return count;
}

} // namespace

std::string zlibMessage(int code)
{
    switch (code) {
    case Z_DATA_ERROR:
        return "zlib returned: data error";
    case Z_STREAM_ERROR:
        return "zlib returned: Stream error";
    case Z_MEM_ERROR:
        return "zlib returned: memory error";
    case Z_BUF_ERROR:
        return "zlib returned: buffer error";
    case Z_VERSION_ERROR:
        return "zlib returned: Version error";
    case Z_ERRNO:
        return "zlib returned: ERRNO";
    default:
        return "ZLib error";
    }
}

Result<size_t> MemoryInput::read(char* buffer, size_t size)
{
    const size_t n = std::min(size, m_bytes.size() - m_position);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

void ZlibMultiple::progress(std::uint64_t position, std::uint64_t total)
{
    if (OnProgress)
        OnProgress(static_cast<std::int32_t>(position), static_cast<std::int32_t>(total));
}

Status ZlibMultiple::addMember(const std::string& fullPath, const std::string& relative, const std::string& name,
                               platform::OutputFile& out)
{
    Result<StoredName> stored = storedNameOf(StorePaths ? relative : std::string(), name, fullPath);
    if (!stored)
        return stored.error();
    Result<std::unique_ptr<platform::InputFile>> input = m_files.openForReading(fullPath);
    if (!input)
        return input.error();
    const std::uint64_t size = (*input)->size();
    if (size > kMaxFileSize)
        return Error{"\"" + fullPath + "\" is 2 GiB or larger, more than an archive member can hold"};
    if (OnCompressingFile)
        OnCompressingFile(fullPath);

    // The header goes first with its sizes left open; the member is compressed straight into the
    // output, and the sizes are written into the header once known: one chunk in memory at a time.
    std::string header;
    header += static_cast<char>(stored->folder.size());
    header += stored->folder;
    header += static_cast<char>(stored->name.size());
    header += stored->name;
    const std::uint64_t sizesAt = out.written() + header.size();
    header.append(8, '\0');
    if (Status s = out.write(header); !s)
        return s;
    const std::uint64_t dataStart = out.written();

    // Read and compressed in large chunks (deflate's output does not depend on how its input is
    // cut); the progress reports step by 1024 bytes and end with the read that returns nothing.
    Deflater deflater;
    std::uint64_t read = 0;
    std::vector<char> chunk(kChunk);
    for (;;) {
        Result<size_t> n = (*input)->read(chunk.data(), chunk.size());
        if (!n)
            return platform::cannotOpenFile(fullPath, n.message());
        if (read + *n > kMaxFileSize)
            return Error{"\"" + fullPath + "\" grew to 2 GiB or more while it was packed"};
        if (Status fed = deflater.feed(std::string_view(chunk.data(), *n), Z_NO_FLUSH, out); !fed)
            return fed;
        for (size_t step = kPiece; step < *n + kPiece; step += kPiece)
            progress(read + std::min(step, *n), size);
        read += *n;
        if (*n == 0) {
            progress(read, size);
            break;
        }
    }
    if (Status finished = deflater.feed({}, Z_FINISH, out); !finished)
        return finished;
    const std::uint64_t compressed = out.written() - dataStart;
    if (compressed > kMaxFileSize)
        return Error{"\"" + fullPath + "\" compresses to 2 GiB or more, more than an archive member can hold"};
    if (OnCompressedFile)
        OnCompressedFile(fullPath);
    // The size as the file was read: it may have changed since it was opened.
    std::string sizes;
    putU32(sizes, static_cast<std::uint32_t>(read));
    putU32(sizes, static_cast<std::uint32_t>(compressed));
    return out.writeAt(sizesAt, sizes);
}

Status ZlibMultiple::walk(const std::string& root, const std::string& relative, bool recursive, const std::string& skip,
                          platform::OutputFile& out)
{
    const std::string folder = root + relative;
    // A folder that cannot be listed holds nothing to pack.
    const auto entries = m_files.list(folder);
    if (!entries)
        return {};
    for (const platform::FolderEntry& entry : *entries) {
        const std::string full = folder + entry.name;
        // The archive being written is never packed into itself, nor are its temporary files.
        if (!skip.empty() && (full == skip || full.rfind(skip + ".lumo-", 0) == 0))
            continue;
        if (entry.isFolder) {
            if (recursive)
                if (Status s = walk(root, relative + entry.name + kSep, recursive, skip, out); !s)
                    return s;
            continue;
        }
        // A link counts as the file it names; a link to a folder is never walked into.
        if (entry.isLink && !m_files.fileSize(full))
            continue;
        if (Status s = addMember(full, relative, entry.name, out); !s)
            return s;
    }
    return {};
}

Result<std::string> ZlibMultiple::CompressDirectory(const std::string& folder, bool recursive)
{
    std::string root = folder;
    if (root.empty() || root.back() != kSep)
        root += kSep;
    platform::MemoryOutputFile archive;
    if (const Status s = walk(root, "", recursive, "", archive); !s)
        return s.error();
    return std::move(archive.bytes());
}

Status ZlibMultiple::CompressDirectory(const std::string& folder, bool recursive, const std::string& archivePath)
{
    // Written beside the archive under a temporary name; the old archive stays until the new one
    // is complete, and a pack that fails or is killed leaves it as it was.
    Result<std::unique_ptr<platform::OutputFile>> out = m_files.replaceFile(archivePath);
    if (!out)
        return out.error();
    std::string root = folder;
    if (root.empty() || root.back() != kSep)
        root += kSep;
    if (Status packed = walk(root, "", recursive, archivePath, **out); !packed)
        return packed;
    return (*out)->close();
}

Status ZlibMultiple::DecompressFile(const std::string& archivePath, const std::string& destination, bool overwrite,
                                    bool relativePaths)
{
    const std::string sourceName = "\"" + archivePath + "\"";
    // A first pass over the headers: an archive with a member that would be refused is refused
    // before any byte of it lands.
    {
        Result<std::unique_ptr<platform::InputFile>> in = m_files.openForReading(archivePath);
        if (!in)
            return in.error();
        ArchiveReader reader(**in, sourceName);
        for (;;) {
            Result<std::optional<MemberHeader>> header = reader.nextHeader();
            if (!header)
                return header.error();
            if (!*header)
                break;
            if (Result<HostMember> member = hostMemberOf((*header)->folder, (*header)->name, sourceName); !member)
                return member.error();
            if (Status skipped = reader.skipData(**header); !skipped)
                return skipped;
        }
    }
    Result<std::unique_ptr<platform::InputFile>> in = m_files.openForReading(archivePath);
    if (!in)
        return in.error();
    if (Status s = DecompressStream(**in, destination, overwrite, relativePaths, sourceName); !s)
        return s;
    if (OnCompletedAction)
        OnCompletedAction();
    return {};
}

Status ZlibMultiple::DecompressStream(platform::InputFile& stream, const std::string& destination, bool overwrite,
                                      bool relativePaths, const std::string& sourceName)
{
    std::string dest = destination;
    if (!dest.empty() && dest.back() != kSep && dest.back() != '/')
        dest += kSep;
    ArchiveReader reader(stream, sourceName);
    for (;;) {
        Result<std::optional<MemberHeader>> header = reader.nextHeader();
        if (!header)
            return header.error();
        if (!*header)
            return {};
        const MemberHeader& stored = **header;
        const std::string memberName = stored.displayName();

        Result<HostMember> member = hostMemberOf(stored.folder, stored.name, sourceName);
        if (!member)
            return member.error();
        if (dest.empty() && member->folder.empty())
            return Error{"Unable to create directory"};
        Result<std::unique_ptr<platform::FolderHandle>> folder
            = openMemberFolder(m_files, dest, member->folder, memberName, sourceName);
        if (!folder)
            return folder.error();
        // Without relative paths the folders are made all the same, and the file lands at the top.
        if (!relativePaths)
            folder = openMemberFolder(m_files, dest, "", memberName, sourceName);
        if (!folder)
            return folder.error();
        const std::string target = dest + (relativePaths ? member->folder : std::string()) + member->name;
        if (!overwrite && (*folder)->exists(member->name)) {
            if (Status skipped = reader.skipData(stored); !skipped)
                return skipped;
            continue;
        }

        bool writeFile = true;
        if (OnDecompressingFile)
            OnDecompressingFile(target, writeFile);
        // Written beside the target and given its name only once it inflated whole to its stated
        // size: an old file of that name stays as it was until then, and the name is replaced, never
        // the file behind it (a link, or a file with other names).
        std::unique_ptr<platform::OutputFile> out;
        if (writeFile) {
            Result<std::unique_ptr<platform::OutputFile>> created = (*folder)->replaceFile(member->name);
            if (!created)
                return created.error();
            out = std::move(*created);
        }
        const auto total = static_cast<std::uint64_t>(stored.uncompressedSize);
        Result<std::uint64_t> inflated = inflateMember(reader, stored, out.get(), memberName, sourceName,
                                                       [&](std::uint64_t written) { progress(written, total); });
        if (!inflated)
            return inflated.error();
        if (out)
            if (Status closed = out->close(); !closed)
                return closed;
        if (OnDecompressedFile)
            OnDecompressedFile(target, static_cast<std::uint32_t>(*inflated));
    }
}

} // namespace lumo::formats
