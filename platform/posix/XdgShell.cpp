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

    // Double fork: the started program is adopted by init and never left as our zombie. A
    // close-on-exec pipe tells whether the exec itself succeeded.
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
        if (::fork() != 0)
            ::_exit(0);
        int error = 0;
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0)
            error = errno;
        else
            ::execv(argv[0], argv.data());
        if (!error)
            error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
    int error = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return n == 0;
}

} // namespace lumo::platform
