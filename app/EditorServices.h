// The platform services the editor's windows use, handed to them so tests can pass fakes.
#pragma once

#include "platform/Host.h"

namespace lumo::app {

struct EditorServices {
    platform::Registry& registry;
    platform::FileSystem& files;
    platform::WaveOut& waveOut;
    platform::WindowPresence& presence;
    platform::Shell& shell;
    platform::Environment& environment;

    static EditorServices host()
    {
        return {platform::hostRegistry(),       platform::hostFileSystem(), platform::hostWaveOut(),
                platform::hostWindowPresence(), platform::hostShell(),      platform::hostEnvironment()};
    }
};

} // namespace lumo::app
