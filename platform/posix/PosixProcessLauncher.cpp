#include "PosixProcessLauncher.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumo::platform {

namespace {

constexpr size_t kErrorKept = 16 * 1024;
constexpr int kStopGraceMs = 2000;

class PosixChild final : public ChildProcess {
public:
    PosixChild(pid_t pid, int out, int err)
        : m_pid(pid)
        , m_out(out)
        , m_err(err)
    {
    }
    ~PosixChild() override
    {
        if (!m_reaped) {
            stop();
            static_cast<void>(wait());
        }
        closeAll();
    }

    std::optional<std::string> readLine(int timeoutMs) override
    {
        for (;;) {
            if (const size_t end = m_buffer.find('\n'); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            if (m_out < 0) {
                if (m_buffer.empty())
                    return std::nullopt;
                return std::exchange(m_buffer, {}); // the last line had no end
            }
            if (!pump(timeoutMs)) {
                // Ended: what it wrote is read, and a pipe that something it started still holds
                // open is not waited for.
                if (reap(WNOHANG))
                    drainAndClose();
                return std::nullopt;
            }
            timeoutMs = 0; // what came is read; a line still partial waits for the next call
        }
    }

    bool finished() const override { return m_out < 0 && m_buffer.empty(); }

    void stop() override
    {
        if (m_reaped)
            return;
        ::kill(-m_pid, SIGTERM);
        for (int waited = 0; waited < kStopGraceMs; waited += 50) {
            if (reap(WNOHANG))
                break;
            ::usleep(50 * 1000);
        }
        ::kill(-m_pid, SIGKILL); // whatever of the group is left, the leader included
    }

    Result<int> wait() override
    {
        while (!reap(WNOHANG)) {
            if (m_out < 0 && m_err < 0) {
                reap(0);
                break;
            }
            pump(50); // reading, so a program blocked on a full pipe can end
        }
        drainAndClose();
        if (WIFEXITED(m_status))
            return WEXITSTATUS(m_status);
        return Error{"it was ended by signal " + std::to_string(WIFSIGNALED(m_status) ? WTERMSIG(m_status) : 0)};
    }

    std::string errorOutput() const override { return m_errors; }

private:
    // Reads what is there on either pipe within timeoutMs; false when nothing came.
    bool pump(int timeoutMs)
    {
        pollfd fds[2];
        nfds_t count = 0;
        for (int fd : {m_out, m_err})
            if (fd >= 0)
                fds[count++] = {fd, POLLIN, 0};
        if (count == 0)
            return false;
        const int ready = ::poll(fds, count, timeoutMs);
        if (ready <= 0)
            return false;
        bool got = false;
        char chunk[4096];
        for (nfds_t i = 0; i < count; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            const bool isOut = fds[i].fd == m_out;
            if (n <= 0) {
                ::close(fds[i].fd);
                (isOut ? m_out : m_err) = -1;
                got = got || isOut;
                continue;
            }
            if (isOut) {
                m_buffer.append(chunk, size_t(n));
                got = true;
            } else {
                m_errors.append(chunk, size_t(n));
                if (m_errors.size() > kErrorKept)
                    m_errors.erase(0, m_errors.size() - kErrorKept);
            }
        }
        return got;
    }

    bool reap(int flags)
    {
        if (m_reaped)
            return true;
        pid_t done;
        do
            done = ::waitpid(m_pid, &m_status, flags);
        while (done < 0 && errno == EINTR);
        m_reaped = done == m_pid || done < 0;
        return m_reaped;
    }

    void drainAndClose()
    {
        while (pump(0)) { }
        closeAll();
    }

    void closeAll()
    {
        for (int* fd : {&m_out, &m_err})
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
    }

    pid_t m_pid;
    int m_out, m_err;
    std::string m_buffer;
    std::string m_errors;
    int m_status = 0;
    bool m_reaped = false;
};

} // namespace

Result<std::unique_ptr<ChildProcess>> PosixProcessLauncher::start(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return Error{"no program to start"};
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return Error{"Cannot start " + arguments[0] + ": " + std::strerror(errno)};
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return Error{"Cannot start " + arguments[0] + ": " + std::strerror(errno)};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, arguments[0].c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    ::close(err[1]);
    if (failed != 0) {
        ::close(out[0]);
        ::close(err[0]);
        return Error{"Cannot start " + arguments[0] + ": " + std::strerror(failed)};
    }
    return std::unique_ptr<ChildProcess>(std::make_unique<PosixChild>(pid, out[0], err[0]));
}

} // namespace lumo::platform
