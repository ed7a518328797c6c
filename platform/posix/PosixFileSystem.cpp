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

Result<std::string> PosixFileSystem::readFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return cannotOpenFile(path, systemErrorText(errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            return cannotOpenFile(path, systemErrorText(error));
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
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
    // mkostemp makes the file private; give it the mode a newly created file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0)
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
