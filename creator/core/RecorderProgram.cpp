#include "RecorderProgram.h"

#include "common/PathRules.h"

#include <cstdio>

namespace lumo::creator {

namespace {

constexpr int kPollMs = 100;
constexpr const char* kOwnPrefix = "lumo-record: ";

// The recorder's own error line; else the last line it wrote (a crash, a library's complaint).
std::string reasonIn(const std::string& errors)
{
    std::string last;
    size_t start = 0;
    while (start < errors.size()) {
        size_t end = errors.find('\n', start);
        if (end == std::string::npos)
            end = errors.size();
        const std::string line = errors.substr(start, end - start);
        if (line.rfind(kOwnPrefix, 0) == 0)
            last = line.substr(std::string(kOwnPrefix).size());
        start = end + 1;
    }
    return last;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

} // namespace

std::string recorderBeside(platform::FileSystem& files, const std::string& bin)
{
    const std::string beside = joinHostPath(bin, "lumo-record");
    if (files.exists(beside))
        return beside;
    return joinHostPath(joinHostPath(joinHostPath(bin, ".."), "libexec/lumo-screensaver"), "lumo-record");
}

RecorderProgram::RecorderProgram(platform::ProcessLauncher& launcher, std::string program)
    : m_launcher(launcher)
    , m_program(std::move(program))
{
}

Status RecorderProgram::record(const std::string& movie, const std::string& video, const RecordingPlan& plan,
                               const RecordingEvents& events)
{
    Result<std::unique_ptr<platform::ChildProcess>> started
        = m_launcher.start({m_program, "--width", std::to_string(plan.width), "--height", std::to_string(plan.height),
                            "--fps", std::to_string(plan.fps), "--seconds", number(plan.seconds), movie, video});
    if (!started)
        return started.error();
    platform::ChildProcess& child = **started;
    while (!child.finished()) {
        if (events.cancelled && events.cancelled()) {
            child.stop();
            static_cast<void>(child.wait());
            return Error{kCancelled};
        }
        const std::optional<std::string> line = child.readLine(kPollMs);
        if (line && line->rfind("recorded ", 0) == 0 && events.recorded)
            events.recorded(std::strtod(line->c_str() + 9, nullptr));
        if (events.idle)
            events.idle();
    }
    Result<int> status = child.wait();
    if (!status)
        return Error{"the recorder crashed (" + status.message() + ")"};
    if (*status != 0) {
        const std::string reason = reasonIn(child.errorOutput());
        return Error{reason.empty() ? "the recorder failed with status " + std::to_string(*status) : reason};
    }
    return {};
}

} // namespace lumo::creator
