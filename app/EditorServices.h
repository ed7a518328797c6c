// The platform services, system dialogs and movie views the editor's windows use, handed to them so
// tests can pass fakes.
#pragma once

#include "EditorDialogs.h"

#include "creator/core/RecorderProgram.h"
#include "platform/Host.h"
#include "playback/RecordingMovieView.h"

namespace lumo::app {

struct EditorServices {
    platform::Registry& registry;
    platform::FileSystem& files;
    platform::WaveOut& waveOut;
    platform::WindowPresence& presence;
    platform::Shell& shell;
    platform::Environment& environment;
    EditorDialogs dialogs = EditorDialogs::system();
    // Until the editor has a view that plays movies, its preview records what it is asked to show.
    playback::MovieViewFactory views = playback::recordingViews();
    platform::WebClient* web = nullptr; // none: builds cannot fetch web movies
    creator::MovieRecorder* recorder = nullptr; // none: builds make no videos

    static EditorServices host()
    {
        EditorServices services{platform::hostRegistry(), platform::hostFileSystem(),
                                platform::hostWaveOut(),  platform::hostWindowPresence(),
                                platform::hostShell(),    platform::hostEnvironment()};
        services.web = &platform::hostWebClient();
        static creator::RecorderProgram recorder(
            platform::hostProcessLauncher(),
            creator::recorderBeside(platform::hostFileSystem(), platform::programFolder(platform::hostEnvironment())));
        services.recorder = &recorder;
        return services;
    }
};

} // namespace lumo::app
