// The movie recorder as the separate program lumo-record (Ruffle in a web engine, then ffmpeg):
// a crash of either ends one recording, never the build; a cancelled recording is stopped with
// everything it started.
#pragma once

#include "MovieVideo.h"

#include "platform/ChildProcess.h"
#include "platform/FileSystem.h"

namespace lumo::creator {

class RecorderProgram final : public MovieRecorder {
public:
    RecorderProgram(platform::ProcessLauncher& launcher, std::string program);

    Status record(const std::string& movie, const std::string& video, const RecordingPlan& plan,
                  const RecordingEvents& events) override;

private:
    platform::ProcessLauncher& m_launcher;
    std::string m_program;
};

// lumo-record for a program in programFolder: beside it (a build tree), else in
// ../libexec/lumo-screensaver (an installation).
std::string recorderBeside(platform::FileSystem& files, const std::string& programFolder);

} // namespace lumo::creator
