#include "PosixFileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::platform {

std::string systemErrorText(int error)
{
    std::string text = std::strerror(error);
    return text + ".";
}

bool PosixFileSystem::isFolder(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::exists(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::vector<FolderEntry>> PosixFileSystem::list(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    const int fd = ::dirfd(dir.get());
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        // The entry's type as the directory holds it; a stat only where the file system keeps none.
        if (e->d_type != DT_UNKNOWN) {
            entries.push_back({name, e->d_type == DT_DIR, e->d_type == DT_LNK});
            continue;
        }
        struct stat st { };
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished while listing
        entries.push_back({name, S_ISDIR(st.st_mode), S_ISLNK(st.st_mode)});
    }
    return entries;
}

bool PosixFileSystem::clearAttributes(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
        return false; // a link's own mode means nothing, and chmod would follow it
    mode_t mode = st.st_mode | S_IWUSR | S_IRUSR;
    if (S_ISDIR(st.st_mode))
        mode |= S_IXUSR;
    return ::chmod(path.c_str(), mode & 07777) == 0;
}

bool PosixFileSystem::removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::removeEmptyFolder(const std::string& path)
{
    return ::rmdir(path.c_str()) == 0;
}

bool PosixFileSystem::createFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0 || isFolder(path);
}

unsigned long PosixFileSystem::processId()
{
    return static_cast<unsigned long>(::getpid());
}

bool PosixFileSystem::processRuns(unsigned long id)
{
    // Another user's process answers "not permitted": it runs all the same.
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

std::string PosixFileSystem::finalPath(const std::string& path)
{
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : path;
}

Result<std::string> PosixFileSystem::createPrivateFolder(const std::string& parent, const std::string& prefix)
{
    // mkdtemp makes the folder with mode 0700 and fails rather than reuse a name that stands.
    std::string pattern = parent + "/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return cannotCreateFile(parent + "/" + prefix + "XXXXXX", std::strerror(errno));
    return pattern;
}

namespace {

class PosixInputFile final : public InputFile {
public:
    PosixInputFile(int fd, std::uint64_t size)
        : m_fd(fd)
        , m_size(size)
    {
    }
    ~PosixInputFile() override { ::close(m_fd); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    Result<size_t> read(char* buffer, size_t size) override
    {
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0)
                return static_cast<size_t>(n);
            if (errno != EINTR)
                return Error{systemErrorText(errno)};
        }
    }
    std::uint64_t size() const override { return m_size; }

private:
    int m_fd;
    std::uint64_t m_size;
};

// Writes fd; with a temporary name, the file is renamed over its target when closed and removed
// when dropped unclosed. Target and temporary name are relative to folder (an open folder this file
// owns), or paths when folder is AT_FDCWD; path names the target in messages.
class PosixOutputFile final : public OutputFile {
public:
    PosixOutputFile(int fd, std::string path, std::string temporary = {}, int folder = AT_FDCWD, std::string name = {})
        : m_fd(fd)
        , m_path(std::move(path))
        , m_temporary(std::move(temporary))
        , m_folder(folder)
        , m_name(name.empty() ? m_path : std::move(name))
    {
    }
    ~PosixOutputFile() override
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            if (!m_temporary.empty())
                ::unlinkat(m_folder, m_temporary.c_str(), 0);
        }
        if (m_folder != AT_FDCWD)
            ::close(m_folder);
    }
    PosixOutputFile(const PosixOutputFile&) = delete;
    PosixOutputFile& operator=(const PosixOutputFile&) = delete;

    Status write(std::string_view bytes) override
    {
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return failure(errno);
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            m_written += static_cast<std::uint64_t>(n);
        }
        return {};
    }
    Status writeAt(std::uint64_t offset, std::string_view bytes) override
    {
        if (offset > m_written || bytes.size() > m_written - offset)
            return failure(EINVAL);
        while (!bytes.empty()) {
            const ssize_t n = ::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return failure(errno);
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
        return {};
    }
    std::uint64_t written() const override { return m_written; }
    Status close() override
    {
        const int fd = m_fd;
        m_fd = -1;
        if (fd < 0)
            return {};
        if (m_temporary.empty()) {
            if (::close(fd) != 0)
                return failure(errno);
            return {};
        }
        int error = 0;
        if (::fchmod(fd, replacedMode()) != 0 || ::fsync(fd) != 0)
            error = errno;
        if (::close(fd) != 0 && !error)
            error = errno;
        if (!error && ::renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0)
            error = errno;
        if (error) {
            ::unlinkat(m_folder, m_temporary.c_str(), 0);
            return failure(error);
        }
        return {};
    }

private:
    Status failure(int error) const
    {
        return m_temporary.empty() ? cannotWriteFile(m_path, systemErrorText(error))
                                   : cannotCreateFile(m_path, systemErrorText(error));
    }
    // mkostemp makes the file private: give it the mode of the file it replaces (an executable stays
    // executable), or the one a newly created file would have.
    mode_t replacedMode() const
    {
        struct stat existing { };
        if (::fstatat(m_folder, m_name.c_str(), &existing, 0) == 0)
            return existing.st_mode & 07777;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

    int m_fd;
    std::string m_path;
    std::string m_temporary;
    int m_folder;
    std::string m_name;
    std::uint64_t m_written = 0;
};

// A folder held open: what is made in it is made relative to it, so a folder swapped for a link
// on the way is never followed.
class PosixFolder final : public FolderHandle {
public:
    PosixFolder(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path))
    {
    }
    ~PosixFolder() override { ::close(m_fd); }
    PosixFolder(const PosixFolder&) = delete;
    PosixFolder& operator=(const PosixFolder&) = delete;

    const std::string& path() const override { return m_path; }

    Result<std::unique_ptr<FolderHandle>> openFolder(const std::string& name) override
    {
        const std::string path = m_path + "/" + name;
        if (::mkdirat(m_fd, name.c_str(), 0777) != 0 && errno != EEXIST)
            return cannotCreateFile(path, systemErrorText(errno));
        const int fd = ::openat(m_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            struct stat st { };
            const bool link = ::fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
            return link ? Error{"\"" + path + "\" is a link, not a folder"} : cannotCreateFile(path, systemErrorText(errno));
        }
        return std::unique_ptr<FolderHandle>(std::make_unique<PosixFolder>(fd, path));
    }

    bool exists(const std::string& name) override
    {
        struct stat st { };
        return ::fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    }

    Result<std::unique_ptr<OutputFile>> replaceFile(const std::string& name) override
    {
        const std::string path = m_path + "/" + name;
        removeStaleTemporaries(name);
        // A fresh name of our own (O_EXCL, never through a link), renamed over the target when whole.
        static unsigned counter = 0;
        const std::string prefix = temporaryNamePrefix(name, static_cast<unsigned long>(::getpid()));
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string temporary = prefix + std::to_string(++counter);
            const int fd = ::openat(m_fd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0) {
                const int folder = ::dup(m_fd);
                if (folder < 0) {
                    const int error = errno;
                    ::close(fd);
                    ::unlinkat(m_fd, temporary.c_str(), 0);
                    return cannotCreateFile(path, systemErrorText(error));
                }
                return std::unique_ptr<OutputFile>(
                    std::make_unique<PosixOutputFile>(fd, path, temporary, folder, name));
            }
            if (errno != EEXIST)
                return cannotCreateFile(path, systemErrorText(errno));
        }
        return cannotCreateFile(path, "no free temporary name");
    }

private:
    // As the path-based writers do: the temporaries of name left by processes that are gone.
    void removeStaleTemporaries(const std::string& name)
    {
        const int listed = ::dup(m_fd);
        DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
        if (!dir) {
            if (listed >= 0)
                ::close(listed);
            return;
        }
        const std::string prefix = name + ".lumo-";
        std::vector<std::string> stale;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string entryName = entry->d_name;
            if (entryName.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::optional<unsigned long> id = processIdAfter(entryName, prefix);
            if (id && ::kill(static_cast<pid_t>(*id), 0) != 0 && errno == ESRCH)
                stale.push_back(entryName);
        }
        ::closedir(dir);
        for (const std::string& entryName : stale)
            ::unlinkat(m_fd, entryName.c_str(), 0);
    }

    int m_fd;
    std::string m_path;
};

} // namespace

std::optional<std::uint64_t> PosixFileSystem::fileSize(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

Result<std::unique_ptr<InputFile>> PosixFileSystem::openForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return cannotOpenFile(path, systemErrorText(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return cannotOpenFile(path, systemErrorText(error));
    }
    return std::unique_ptr<InputFile>(std::make_unique<PosixInputFile>(fd, static_cast<std::uint64_t>(st.st_size)));
}

Result<std::unique_ptr<OutputFile>> PosixFileSystem::createFile(const std::string& path)
{
    // O_NOFOLLOW: a link standing at path makes the call fail instead of writing where it points.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return cannotCreateFile(path, systemErrorText(errno));
    return std::unique_ptr<OutputFile>(std::make_unique<PosixOutputFile>(fd, path));
}

bool PosixFileSystem::renameReplacing(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

Result<MappedBytes> PosixFileSystem::mapFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return cannotOpenFile(path, systemErrorText(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
        ::close(fd);
        return FileSystem::mapFile(path); // nothing to map: read as it is
    }
    const auto size = static_cast<size_t>(st.st_size);
    void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    const int error = errno;
    ::close(fd);
    if (at == MAP_FAILED)
        return cannotOpenFile(path, systemErrorText(error));
    std::shared_ptr<const void> owner(at, [size](const void* p) { ::munmap(const_cast<void*>(p), size); });
    return MappedBytes{std::string_view(static_cast<const char*>(at), size), std::move(owner)};
}

Result<std::string> PosixFileSystem::readFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return cannotOpenFile(path, systemErrorText(errno));
    // Read straight into a buffer of the file's size; a file that grows meanwhile is read on.
    struct stat st { };
    std::string bytes(::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0, '\0');
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(bytes.size() + 65536);
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            return cannotOpenFile(path, systemErrorText(error));
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

Result<std::unique_ptr<FolderHandle>> PosixFileSystem::openFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return cannotCreateFile(path, systemErrorText(errno));
    return std::unique_ptr<FolderHandle>(std::make_unique<PosixFolder>(fd, path));
}

Result<std::unique_ptr<OutputFile>> PosixFileSystem::replaceFile(const std::string& path)
{
    removeStaleTemporaries(*this, path);
    std::string temporary = temporaryNamePrefix(path, static_cast<unsigned long>(::getpid())) + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return cannotCreateFile(path, systemErrorText(errno));
    return std::unique_ptr<OutputFile>(std::make_unique<PosixOutputFile>(fd, path, std::move(temporary)));
}

} // namespace lumo::platform
