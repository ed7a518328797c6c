#include "PosixFileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

class PosixOutputFile final : public OutputFile {
public:
    PosixOutputFile(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path))
    {
    }
    ~PosixOutputFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
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
                return cannotWriteFile(m_path, systemErrorText(errno));
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            m_written += static_cast<std::uint64_t>(n);
        }
        return {};
    }
    std::uint64_t written() const override { return m_written; }
    Status close() override
    {
        const int fd = m_fd;
        m_fd = -1;
        if (fd >= 0 && ::close(fd) != 0)
            return cannotWriteFile(m_path, systemErrorText(errno));
        return {};
    }

private:
    int m_fd;
    std::string m_path;
    std::uint64_t m_written = 0;
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

Status PosixFileSystem::writeFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return cannotCreateFile(path, systemErrorText(errno));
    auto fail = [&](int error) -> Status {
        ::close(fd);
        ::unlink(temp.c_str());
        return cannotCreateFile(path, systemErrorText(error));
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    // mkostemp makes the file private: give it the mode of the file it replaces (an executable
    // stays executable), or the one a newly created file would have.
    struct stat existing { };
    mode_t mode;
    if (::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return cannotCreateFile(path, systemErrorText(error));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return cannotCreateFile(path, systemErrorText(error));
    }
    return {};
}

} // namespace lumo::platform
