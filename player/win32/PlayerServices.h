// What the player's windows share: the host's services, the process's random generator, the two
// archive readers (the settings dialog's, which lets pending messages run while it unpacks, and the
// player window's own, which does not), the application-wide message filter and the error box.
#pragma once

#include "WorkFolderUsers.h"
#include "common/Random.h"
#include "formats/ZlibArchive.h"

#include "platform/Host.h"

#include <windows.h>

#include <functional>
#include <string>

namespace lumo::player {

class PlayerServices {
public:
    PlayerServices();

    platform::FileSystem& files;
    platform::Environment& environment;
    platform::Registry& registry;
    platform::ProgramResources& resources;
    platform::Shell& shell;
    platform::WaveOut& waveOut;
    Random& random;
    formats::ZlibMultiple pumpingLib; // FSMainFrm.lib
    formats::ZlibMultiple quietLib; // FSScreenSaver.lib

    // The framework's default title: the program file name without its extension.
    std::wstring applicationTitle() const;
    // The framework's error box, owned by the active window.
    void showError(const std::string& text) const;
    // The "KX" box shown when the parameter file's marker is wrong.
    void showWrongMarker() const;
    void SetWaveMute(bool muted);
    // Unpacks the project into the work folder. A program without its project cannot do anything
    // useful: a missing or damaged archive is reported once, what was unpacked of it is removed, and
    // the program ends.
    bool unpack(const std::string& workFolder, formats::ZlibMultiple& lib);
    // The close steps' removal of the work folder, unless another instance still uses it.
    void removeWorkFolder(const std::string& workFolder);
    WorkFolderUsers workFolderUsers;
    // How far pumpingLib's unpacking has come, in percent.
    std::function<void(int percent)> unpackProgress;

    // Application.OnMessage: sees every message the loop takes from the queue.
    std::function<void(const MSG&)> messageFilter;
    // Lets pending messages run (Application.ProcessMessages).
    void processMessages();
    // Ends the event loop at once; no close step runs.
    void terminate();
    bool terminated() const { return m_terminated; }
    // Runs the loop until terminate() or WM_QUIT; with `until`, also returns once it holds.
    void runLoop(const std::function<bool()>& until = {});

private:
    bool dispatchOne(const MSG& message);
    bool m_terminated = false;
};

} // namespace lumo::player
