#include "FileStorage.h"

#include "ByteReader.h"
#include "RleCodec.h"

#include "common/Codepage.h"
#include "common/Text.h"
#include "common/TempFolder.h"
#include "platform/Host.h"
#include "platform/MemoryFile.h"

namespace lumo::formats {

namespace {

constexpr std::string_view kMagic = "SFP1";
constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kSep = platform::kHostSeparator;

std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string withSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != kSep)
        folder += kSep;
    return folder;
}

} // namespace

FileStorage::~FileStorage()
{
    if (!autoExtract.Enabled || !autoExtract.RemoveOnTerminate || m_written.empty())
        return;
    for (const std::string& path : m_written)
        m_services.files.removeFile(path);
    const std::string& first = m_written.front();
    const size_t slash = first.rfind(kSep);
    if (slash != std::string::npos && slash > 0)
        m_services.files.removeEmptyFolder(first.substr(0, slash));
}

void FileStorage::add(std::string name, std::string bytes)
{
    m_files.push_back(std::make_unique<StoredFile>(*this, std::move(name), std::move(bytes)));
}

std::int64_t FileStorage::DataSize() const
{
    std::int64_t total = 0;
    for (const auto& f : m_files)
        total += f->size();
    return total;
}

Result<std::string> StoredFile::bytes() const
{
    if (!m_coded)
        return m_bytes;
    return RleUnpack(m_blocks, m_size);
}

Status StoredFile::writeTo(platform::OutputFile& out) const
{
    return forEachBlock([&](std::string_view block) { return out.write(block); });
}

Status FileStorage::ReadData(std::string_view stream, const std::string& sourceName)
{
    auto owned = std::make_shared<const std::string>(stream);
    const std::string_view view = *owned;
    return ReadData(platform::MappedBytes{view, std::move(owned)}, sourceName);
}

Status FileStorage::ReadData(platform::MappedBytes container, const std::string& sourceName)
{
    m_files.clear();
    m_source = container.bytes;
    m_sourceOwner = std::move(container.owner);
    ByteReader reader(m_source);
    const auto fail = [&](const std::string& what) -> Status {
        m_files.clear();
        return Error{"The storage \"" + sourceName + "\" is damaged: " + what};
    };
    const auto first = reader.bytes(4);
    if (!first)
        return fail("it is shorter than its header");
    m_coded = asText(*first) == kMagic;
    std::optional<std::int32_t> count;
    if (m_coded) {
        count = reader.i32();
    } else {
        count = static_cast<std::int32_t>(ByteReader(*first).u32().value_or(0));
        if (!reader.bytes(4))
            return fail("it is shorter than its header");
    }
    if (!count || *count < 0)
        return fail("its file count is missing or negative");
    for (std::int32_t i = 0; i < *count; ++i) {
        const std::string record = "record " + std::to_string(i);
        const auto nameLength = reader.i32();
        if (!nameLength || *nameLength < 0)
            return fail(record + ": its name length is missing or negative");
        const auto name = reader.bytes(static_cast<size_t>(*nameLength));
        if (!name)
            return fail(record + ": its name (" + std::to_string(*nameLength) + " bytes) runs past the end");
        const std::string fileName = cp1252ToUtf8(asText(*name));
        const std::string where = record + " (\"" + escapedForDisplay(fileName, kShownNameLength) + "\")";
        const auto dataLength = reader.i32();
        if (!dataLength || *dataLength < 0)
            return fail(where + ": its data length is missing or negative");
        const auto data = reader.bytes(static_cast<size_t>(*dataLength));
        if (!data)
            return fail(where + ": its data (" + std::to_string(*dataLength) + " bytes) runs past the end");
        if (!m_coded) {
            add(fileName, std::string(asText(*data)));
            continue;
        }
        ByteReader coded(*data);
        const auto size = coded.i32();
        if (!size)
            return fail(where + ": its size is missing");
        // The blocks are checked to be there; they are decoded when the file is written out.
        const std::string_view blocks = asText(data->subspan(4));
        if (Status checked = RleCheckBlocks(blocks, *size); !checked)
            return fail(where + ": " + checked.message());
        m_files.push_back(std::make_unique<StoredFile>(*this, fileName, blocks, *size));
    }
    if (!reader.atEnd())
        return fail(std::to_string(reader.remaining()) + " bytes follow the last record");
    return {};
}

Status StoredFile::forEachBlock(const std::function<Status(std::string_view)>& sink) const
{
    if (m_coded) {
        Status passed;
        const Status decoded = RleUnpackTo(m_blocks, m_size, [&](std::string_view block) { return passed = sink(block); });
        if (!decoded && passed)
            return Error{"The stored file \"" + escapedForDisplay(m_name, kShownNameLength) + "\" is damaged: "
                         + decoded.message()};
        return decoded;
    }
    if (m_path.empty()) {
        for (size_t at = 0; at < m_bytes.size(); at += kRleBlockSize)
            if (Status s = sink(std::string_view(m_bytes).substr(at, kRleBlockSize)); !s)
                return s;
        return {};
    }
    platform::FileSystem& files = m_storage.m_services.files;
    Result<std::unique_ptr<platform::InputFile>> in = files.openForReading(m_path);
    if (!in)
        return in.error();
    std::string block(kRleBlockSize, '\0');
    std::uint64_t read = 0;
    for (;;) {
        // A full block at a time: the coding cuts the file into blocks of exactly that size.
        size_t filled = 0;
        while (filled < block.size()) {
            Result<size_t> n = (*in)->read(block.data() + filled, block.size() - filled);
            if (!n)
                return platform::cannotOpenFile(m_path, n.message());
            if (*n == 0)
                break;
            filled += *n;
        }
        read += filled;
        if (read > static_cast<std::uint64_t>(m_size))
            break;
        if (filled == 0)
            break;
        if (Status s = sink(std::string_view(block.data(), filled)); !s)
            return s;
        if (filled < block.size())
            break;
    }
    if (read != static_cast<std::uint64_t>(m_size))
        return platform::cannotOpenFile(m_path, "It changed while it was being stored.");
    return {};
}

Status FileStorage::addFile(std::string name, const std::string& path)
{
    Result<std::unique_ptr<platform::InputFile>> in = m_services.files.openForReading(path);
    if (!in)
        return in.error();
    m_files.push_back(std::make_unique<StoredFile>(*this, std::move(name), path, (*in)->size()));
    return {};
}

Status FileStorage::WriteData(platform::OutputFile& out) const
{
    std::string head(kMagic);
    putU32(head, static_cast<std::uint32_t>(m_files.size()));
    if (Status s = out.write(head); !s)
        return s;
    for (const auto& f : m_files) {
        const std::uint64_t size = f->byteSize();
        if (size > 0x7FFFFFFFu - 4 * (size / kRleBlockSize + 2))
            return Error{"\"" + f->name() + "\" is too large for a storage (2 GiB or more)"};
        Result<std::string> name = utf8ToCp1252(f->name());
        if (!name)
            return Error{"The name of a stored file cannot be written: " + name.message()};
        // The coded length is known once the blocks are written: it is filled in then.
        std::string record;
        putU32(record, static_cast<std::uint32_t>(name->size()));
        record += *name;
        const std::uint64_t lengthAt = out.written() + record.size();
        putU32(record, 0);
        putU32(record, static_cast<std::uint32_t>(size));
        if (Status s = out.write(record); !s)
            return s;
        const std::uint64_t codedStart = out.written() - 4;
        const Status coded = f->forEachBlock([&](std::string_view block) -> Status {
            const std::string body = RlePackBlock(block);
            std::string piece;
            piece += static_cast<char>(body.size() & 0xFF);
            piece += static_cast<char>(body.size() >> 8);
            piece += body;
            return out.write(piece);
        });
        if (!coded)
            return coded;
        std::string length;
        putU32(length, static_cast<std::uint32_t>(out.written() - codedStart));
        if (Status s = out.writeAt(lengthAt, length); !s)
            return s;
    }
    return {};
}

Result<std::string> FileStorage::WriteData() const
{
    platform::MemoryOutputFile out;
    if (Status s = WriteData(out); !s)
        return s.error();
    return std::move(out.bytes());
}


bool StoredFile::SaveToFile(const std::string& path, bool createPath)
{
    return save(path, createPath).ok();
}

Status StoredFile::save(const std::string& path, bool createPath) const
{
    bool allow = true;
    if (m_storage.OnExtract)
        m_storage.OnExtract(path, size(), allow);
    if (!allow)
        return {};
    platform::FileSystem& files = m_storage.m_services.files;
    if (createPath) {
        for (size_t sep = path.find(kSep, 1); sep != std::string::npos; sep = path.find(kSep, sep + 1))
            files.createFolder(path.substr(0, sep));
    }
    // Written beside path and given its name only when whole: an old file stays until then.
    Status saved = [&]() -> Status {
        Result<std::unique_ptr<platform::OutputFile>> out = files.replaceFile(path);
        if (!out)
            return out.error();
        if (Status written = writeTo(**out); !written)
            return written;
        return (*out)->close();
    }();
    if (saved && m_storage.autoExtract.RemoveOnTerminate)
        m_storage.m_written.push_back(path);
    if (m_storage.OnExtracted)
        m_storage.OnExtracted(path, size(), saved.ok());
    return saved;
}

bool FileStorage::ExtractFile(int index, const std::string& path)
{
    if (index < 0 || index >= Count())
        return false;
    StoredFile& f = *m_files[static_cast<size_t>(index)];
    return f.SaveToFile(path.empty() ? GetExtractDir() + f.name() : path, autoExtract.extractTo.CreatePath);
}

std::string FileStorage::GetExtractDir() const
{
    const ExtractTo& to = autoExtract.extractTo;
    if (to.toplevelDir == ToplevelDir::tdNone)
        return to.Subdirectory;
    const platform::Environment& env = m_services.environment;
    const auto shellFolder = [&](std::string_view name) {
        Result<std::optional<std::string>> value = m_services.registry.readString(kShellFolders, name);
        return value ? value->value_or("") : std::string();
    };
    const std::string windows = withSeparator(env.windowsFolder());
    std::string folder;
    switch (to.toplevelDir) {
    case ToplevelDir::tdCurrentDir: {
        const std::string program = env.programPath();
        const size_t sep = program.rfind(kSep);
        folder = sep == std::string::npos ? std::string() : program.substr(0, sep);
        break;
    }
    case ToplevelDir::tdWindowsDir:
        folder = env.windowsFolder();
        break;
    case ToplevelDir::tdTempDir:
        folder = temporaryFolder(env);
        break;
    case ToplevelDir::tdSystemDir:
        folder = env.systemFolder();
        break;
    case ToplevelDir::tdMediaDir:
        folder = windows + "MEDIA";
        break;
    case ToplevelDir::tdCursorsDir:
        folder = windows + "CURSORS";
        break;
    case ToplevelDir::tdHelpDir:
        folder = windows + "HELP";
        break;
    case ToplevelDir::tdSamplesDir:
        folder = windows + "SAMPLES";
        break;
    case ToplevelDir::tdDesktop:
        folder = shellFolder("Desktop");
        break;
    case ToplevelDir::tdProgramFiles:
        folder = env.windowsFolder().substr(0, 3) + "Program Files";
        break;
    case ToplevelDir::tdMyDocuments:
        folder = shellFolder("Personal");
        break;
    case ToplevelDir::tdMyPictures:
        folder = shellFolder("My Pictures");
        break;
    case ToplevelDir::tdAppData:
        folder = shellFolder("AppData");
        break;
    case ToplevelDir::tdNone:
        break;
    }
    std::string sub = to.Subdirectory;
    while (!sub.empty() && sub.front() == kSep)
        sub.erase(0, 1);
    return withSeparator(folder) + (sub.empty() ? std::string() : withSeparator(sub));
}

void FileStorage::loaded()
{
    if (!autoExtract.Enabled)
        return;
    for (const auto& f : m_files) {
        const std::string path = GetExtractDir() + f->name();
        bool write = true;
        switch (autoExtract.Overwrite) {
        case FileStorageOverwrite::owIfSizeDifferent: {
            const auto existing = m_services.files.fileSize(path);
            write = !existing || *existing != static_cast<std::uint64_t>(f->size());
            break;
        }
        case FileStorageOverwrite::owNever:
            write = !m_services.files.exists(path);
            break;
        case FileStorageOverwrite::owAlways:
            break;
        }
        if (write)
            f->SaveToFile(path, autoExtract.extractTo.CreatePath);
    }
}

} // namespace lumo::formats
