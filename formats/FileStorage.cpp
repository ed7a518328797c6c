#include "FileStorage.h"

#include "ByteReader.h"
#include "RleCodec.h"

#include "common/Codepage.h"
#include "common/Text.h"
#include "common/TempFolder.h"
#include "platform/Host.h"

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
    if (!m_coded)
        return out.write(m_bytes);
    Status written;
    const Status decoded = RleUnpackTo(m_blocks, m_size, [&](std::string_view block) { return written = out.write(block); });
    if (!decoded && written)
        return Error{"The stored file \"" + escapedForDisplay(m_name, kShownNameLength) + "\" is damaged: "
                     + decoded.message()};
    return decoded;
}

Status FileStorage::ReadData(std::string_view stream, const std::string& sourceName)
{
    m_files.clear();
    m_source.assign(stream);
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

Result<std::string> FileStorage::WriteData() const
{
    std::string out(kMagic);
    putU32(out, static_cast<std::uint32_t>(m_files.size()));
    for (const auto& f : m_files) {
        Result<std::string> bytes = f->bytes();
        if (!bytes)
            return Error{"The stored file \"" + escapedForDisplay(f->name(), kShownNameLength) + "\" is damaged: " + bytes.message()};
        if (bytes->size() > 0x7FFFFFFFu - 4 * (bytes->size() / kRleBlockSize + 2))
            return Error{"\"" + f->name() + "\" is too large for a storage (2 GiB or more)"};
        Result<std::string> name = utf8ToCp1252(f->name());
        if (!name)
            return Error{"The name of a stored file cannot be written: " + name.message()};
        const std::string coded = RlePack(*bytes);
        putU32(out, static_cast<std::uint32_t>(name->size()));
        out += *name;
        putU32(out, static_cast<std::uint32_t>(coded.size()));
        out += coded;
    }
    return out;
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
