#include "XdgShell.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::platform {

namespace {

bool isWindowsProgram(const std::string& target)
{
    if (target.size() < 4)
        return false;
    std::string ext = target.substr(target.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".exe" || ext == ".scr";
}

} // namespace

std::string findOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::vector<std::string> XdgShell::commandFor(const std::string& target, const std::string& parameters)
{
    std::vector<std::string> command;
    if (isWindowsProgram(target)) {
        const std::string wine = findOnPath("wine");
        if (wine.empty())
            return {};
        command = {wine, target};
        std::istringstream words(parameters);
        for (std::string word; words >> word;)
            command.push_back(word);
        return command;
    }
    const std::string opener = findOnPath("xdg-open");
    if (opener.empty())
        return {};
    return {opener, target};
}

bool XdgShell::open(const std::string& target, const std::string& parameters, const std::string& workingFolder)
{
    const std::vector<std::string> command = commandFor(target, parameters);
    if (command.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    // xdg-open that finds nothing to open the target with ends at once with an error; one that
    // found it goes on or ends well. Wine runs the program itself: nothing to wait for.
    const int waitMs = isWindowsProgram(target) ? 0 : m_answerMs;

    // Double fork: the started program is adopted by init and never left as our zombie. The
    // middle process watches it for waitMs and reports how it ended, or that it still runs.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t opener = ::fork();
        if (opener == 0) {
            if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0)
                ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int outcome = opener < 0 ? 127 : kStillRunning;
        for (int waited = 0; opener > 0; waited += 20) {
            int status = 0;
            const pid_t done = ::waitpid(opener, &status, WNOHANG);
            if (done == opener) {
                outcome = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
                break;
            }
            if (done < 0 || waited >= waitMs)
                break;
            ::usleep(20000);
        }
        [[maybe_unused]] const ssize_t written = ::write(report[1], &outcome, sizeof outcome);
        ::_exit(0);
    }
    ::close(report[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
    int outcome = 127;
    ssize_t n;
    do {
        n = ::read(report[0], &outcome, sizeof outcome);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return n == sizeof outcome && (outcome == 0 || outcome == kStillRunning);
}

} // namespace lumo::platform
