#include "Win32FileSystem.h"

#include "Wide.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace lumo::platform {

std::string win32ErrorText(unsigned long error)
{
    wchar_t* buffer = nullptr;
    const DWORD n
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n ? narrow(std::wstring_view(buffer, n)) : "Error " + std::to_string(error) + ".";
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

namespace {

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesW(widen(path).c_str());
}

class Handle {
public:
    explicit Handle(HANDLE h)
        : m_h(h)
    {
    }
    ~Handle()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_h; }
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    void close()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_h;
};

class Win32InputFile final : public InputFile {
public:
    Win32InputFile(HANDLE h, std::uint64_t size)
        : m_file(h)
        , m_size(size)
    {
    }
    Result<size_t> read(char* buffer, size_t size) override
    {
        DWORD n = 0;
        if (!ReadFile(m_file.get(), buffer, static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), &n, nullptr))
            return Error{win32ErrorText(GetLastError())};
        return static_cast<size_t>(n);
    }
    std::uint64_t size() const override { return m_size; }

private:
    Handle m_file;
    std::uint64_t m_size;
};

// Writes a file; with a temporary name, the file is moved over its target when closed and deleted
// when dropped unclosed.
class Win32OutputFile final : public OutputFile {
public:
    Win32OutputFile(HANDLE h, std::string path, std::string temporary = {})
        : m_file(h)
        , m_path(std::move(path))
        , m_temporary(std::move(temporary))
    {
    }
    ~Win32OutputFile() override
    {
        if (m_file.valid() && !m_temporary.empty()) {
            m_file.close();
            DeleteFileW(widen(m_temporary).c_str());
        }
    }
    Status write(std::string_view bytes) override
    {
        while (!bytes.empty()) {
            DWORD n = 0;
            const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
            if (!WriteFile(m_file.get(), bytes.data(), chunk, &n, nullptr))
                return failure(GetLastError());
            bytes.remove_prefix(n);
            m_written += n;
        }
        return {};
    }
    Status writeAt(std::uint64_t offset, std::string_view bytes) override
    {
        if (offset > m_written || bytes.size() > m_written - offset)
            return failure(ERROR_INVALID_PARAMETER);
        const std::uint64_t end = m_written;
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(m_file.get(), at, nullptr, FILE_BEGIN))
            return failure(GetLastError());
        Status written = write(bytes);
        m_written = end;
        at.QuadPart = static_cast<LONGLONG>(m_written);
        if (!SetFilePointerEx(m_file.get(), at, nullptr, FILE_BEGIN) && written)
            return failure(GetLastError());
        return written;
    }
    std::uint64_t written() const override { return m_written; }
    Status close() override
    {
        if (!m_file.valid())
            return {};
        if (m_temporary.empty()) {
            m_file.close();
            return {};
        }
        FlushFileBuffers(m_file.get());
        m_file.close();
        if (!MoveFileExW(widen(m_temporary).c_str(), widen(m_path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            DeleteFileW(widen(m_temporary).c_str());
            return failure(error);
        }
        return {};
    }

private:
    Status failure(DWORD error) const
    {
        return m_temporary.empty() ? cannotWriteFile(m_path, win32ErrorText(error))
                                   : cannotCreateFile(m_path, win32ErrorText(error));
    }

    Handle m_file;
    std::string m_path;
    std::string m_temporary;
    std::uint64_t m_written = 0;
};

} // namespace

std::optional<std::uint64_t> Win32FileSystem::fileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Result<std::unique_ptr<InputFile>> Win32FileSystem::openForReading(const std::string& path)
{
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return cannotOpenFile(path, win32ErrorText(GetLastError()));
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    return std::unique_ptr<InputFile>(std::make_unique<Win32InputFile>(h, static_cast<std::uint64_t>(size.QuadPart)));
}

Result<std::unique_ptr<OutputFile>> Win32FileSystem::createFile(const std::string& path)
{
    const std::wstring wide = widen(path);
    const DWORD a = GetFileAttributesW(wide.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return cannotCreateFile(path, "A link stands at this path; it is not followed.");
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return cannotCreateFile(path, win32ErrorText(GetLastError()));
    return std::unique_ptr<OutputFile>(std::make_unique<Win32OutputFile>(h, path));
}

bool Win32FileSystem::renameReplacing(const std::string& from, const std::string& to)
{
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32FileSystem::isFolder(const std::string& path)
{
    const DWORD a = attributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool Win32FileSystem::exists(const std::string& path)
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::vector<FolderEntry>> Win32FileSystem::list(const std::string& folder)
{
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(widen(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    do {
        const std::string name = narrow(data.cFileName);
        if (name == "." || name == "..")
            continue;
        const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        constexpr DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        entries.push_back({name, !link && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY), link,
                           (data.dwFileAttributes & hiddenSystem) == hiddenSystem});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

bool Win32FileSystem::clearAttributes(const std::string& path)
{
    return SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_ARCHIVE) != 0;
}

bool Win32FileSystem::removeFile(const std::string& path)
{
    const std::wstring wide = widen(path);
    const DWORD a = GetFileAttributesW(wide.c_str());
    // A junction or a directory symbolic link is removed as a folder; its target stays untouched.
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveDirectoryW(wide.c_str()) != 0;
    return DeleteFileW(wide.c_str()) != 0;
}

bool Win32FileSystem::removeEmptyFolder(const std::string& path)
{
    return RemoveDirectoryW(widen(path).c_str()) != 0;
}

bool Win32FileSystem::createFolder(const std::string& path)
{
    return CreateDirectoryW(widen(path).c_str(), nullptr) != 0 || isFolder(path);
}

Result<std::string> Win32FileSystem::createPrivateFolder(const std::string& parent, const std::string& prefix)
{
    // The user's temporary folder is the user's own; a name that stands already (folder, file or
    // reparse point) is never taken over: CreateDirectory fails on it and the next name is tried.
    static std::uint32_t counter = 0;
    std::uint32_t seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 134775813u + 1 + ++counter;
        char suffix[9];
        for (int i = 0; i < 8; ++i)
            suffix[i] = "0123456789abcdefghijklmnopqrstuv"[(seed >> (i * 4)) & 31];
        suffix[8] = 0;
        const std::string path = parent + "\\" + prefix + suffix;
        if (CreateDirectoryW(widen(path).c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return cannotCreateFile(path, win32ErrorText(GetLastError()));
    }
    return cannotCreateFile(parent + "\\" + prefix, "no free name");
}

Result<std::string> Win32FileSystem::readFile(const std::string& path)
{
    Handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return cannotOpenFile(path, win32ErrorText(GetLastError()));
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    return bytes;
}

Result<std::unique_ptr<OutputFile>> Win32FileSystem::replaceFile(const std::string& path)
{
    removeStaleTemporaries(*this, path);
    static unsigned counter = 0;
    std::string temporary = temporaryNamePrefix(path, GetCurrentProcessId()) + std::to_string(++counter);
    // CREATE_NEW: a name that stands already (a link among them) is never written through.
    HANDLE file = CreateFileW(widen(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return cannotCreateFile(path, win32ErrorText(GetLastError()));
    return std::unique_ptr<OutputFile>(std::make_unique<Win32OutputFile>(file, path, std::move(temporary)));
}

namespace {

// A folder held open without delete sharing: while it is held, nobody can rename it away or put a
// link in its place, so paths below it name what they named when it was opened. Each sub-folder
// holds the one above it. Reparse points (links, junctions) are refused, never entered.
class Win32Folder final : public FolderHandle {
public:
    Win32Folder(Win32FileSystem& files, HANDLE handle, std::string path, std::shared_ptr<Win32Folder> above)
        : m_files(files)
        , m_handle(handle)
        , m_path(std::move(path))
        , m_above(std::move(above))
    {
    }

    // Opens path as a held folder; an error when it is no folder or (unless the link is followed,
    // as for the folder the user named) a reparse point.
    static Result<HANDLE> hold(const std::string& path, bool followLink = false)
    {
        HANDLE h = CreateFileW(widen(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return cannotCreateFile(path, win32ErrorText(GetLastError()));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(h, &info) || (!followLink && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CloseHandle(h);
            if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                return Error{"\"" + path + "\" is a link, not a folder"};
            return cannotCreateFile(path, "It is not a folder.");
        }
        return h;
    }

    const std::string& path() const override { return m_path; }

    Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& name) override
    {
        const std::string path = m_path + "\\" + name;
        if (!CreateDirectoryW(widen(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return cannotCreateFile(path, win32ErrorText(GetLastError()));
        Result<HANDLE> held = hold(path);
        if (!held)
            return held.error();
        return std::unique_ptr<FolderHandle>(std::make_unique<Win32Folder>(m_files, *held, path, shared()));
    }

    bool exists(const std::string& name) override
    {
        return GetFileAttributesW(widen(m_path + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& name) override
    {
        return m_files.replaceFile(m_path + "\\" + name);
    }

    ~Win32Folder() override
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Win32Folder(const Win32Folder&) = delete;
    Win32Folder& operator=(const Win32Folder&) = delete;

private:
    // This folder as the holder of the ones below: a copy that shares nothing but the handle's life.
    std::shared_ptr<Win32Folder> shared()
    {
        HANDLE copy = INVALID_HANDLE_VALUE;
        DuplicateHandle(GetCurrentProcess(), m_handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
        return std::make_shared<Win32Folder>(m_files, copy, m_path, m_above);
    }

    Win32FileSystem& m_files;
    HANDLE m_handle;
    std::string m_path;
    std::shared_ptr<Win32Folder> m_above;
};

} // namespace

unsigned long Win32FileSystem::processId()
{
    return GetCurrentProcessId();
}

bool Win32FileSystem::processRuns(unsigned long id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

Result<std::unique_ptr<FolderHandle>> Win32FileSystem::openFolder(const std::string& path)
{
    std::string folder = path;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    Result<HANDLE> held = Win32Folder::hold(folder, true);
    if (!held)
        return held.error();
    return std::unique_ptr<FolderHandle>(std::make_unique<Win32Folder>(*this, *held, folder, nullptr));
}

} // namespace lumo::platform
