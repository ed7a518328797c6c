#include "LockPresence.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::platform {

namespace {

class LockClaim final : public PresenceClaim {
public:
    explicit LockClaim(int fd)
        : m_fd(fd)
    {
    }
    ~LockClaim() override { ::close(m_fd); }
    LockClaim(const LockClaim&) = delete;
    LockClaim& operator=(const LockClaim&) = delete;

private:
    int m_fd;
};

int lockRetrying(int fd, int operation)
{
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

} // namespace

LockPresence::LockPresence(std::string folder)
    : m_folder(std::move(folder))
{
}

std::string LockPresence::defaultFolder(const Environment& environment)
{
    if (auto runtime = environment.variable("XDG_RUNTIME_DIR"); runtime && !runtime->empty() && runtime->front() == '/')
        return *runtime + "/lumo-screensaver";
    return "/tmp/lumo-screensaver-" + std::to_string(::getuid());
}

bool LockPresence::ensureFolder() const
{
    if (::mkdir(m_folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    // Under a shared /tmp the folder could be someone else's or a link planted there.
    struct stat st { };
    return ::lstat(m_folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string LockPresence::fileFor(std::string_view windowClass) const
{
    return m_folder + "/" + std::string(windowClass) + ".presence";
}

bool LockPresence::isPresent(std::string_view windowClass)
{
    const std::string path = fileFor(windowClass);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool held = lockRetrying(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::unique_ptr<PresenceClaim> LockPresence::claim(std::string_view windowClass)
{
    if (!ensureFolder())
        return nullptr;
    const std::string path = fileFor(windowClass);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    if (lockRetrying(fd, LOCK_SH) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<LockClaim>(fd);
}

} // namespace lumo::platform
