#include "PlayerServices.h"

#include "Controls.h"

#include "common/DeleteFolderTree.h"
#include "common/PathRules.h"
#include "common/WaveMute.h"
#include "platform/win32/Wide.h"
#include "player/core/WorkFolder.h"

#include <algorithm>

namespace lumo::player {

PlayerServices::PlayerServices()
    : files(platform::hostFileSystem())
    , environment(platform::hostEnvironment())
    , registry(platform::hostRegistry())
    , resources(platform::hostProgramResources())
    , shell(platform::hostShell())
    , waveOut(platform::hostWaveOut())
    , random(processRandom())
    , pumpingLib(files)
    , quietLib(files)
    , workFolderUsers(programFileName(environment))
{
    pumpingLib.OnProgress = [this](std::int32_t position, std::int32_t total) {
        if (unpackProgress && total > 0 && position >= 0)
            unpackProgress(static_cast<int>(std::min<std::int64_t>(100, std::int64_t(position) * 100 / total)));
        processMessages();
    };
}

std::wstring PlayerServices::applicationTitle() const
{
    const std::string name = fileNameOf(environment.programPath(), PathSyntax::Host);
    const std::string extension = extensionOf(name);
    return platform::widen(name.substr(0, name.size() - extension.size()));
}

void PlayerServices::showError(const std::string& text) const
{
    std::wstring message = platform::widen(text);
    if (!message.empty() && message.back() != L'.')
        message += L'.';
    MessageBoxW(GetActiveWindow(), message.c_str(), applicationTitle().c_str(), MB_OK | MB_ICONSTOP);
}

void PlayerServices::showWrongMarker() const
{
    MessageBoxW(GetActiveWindow(), L"KX", applicationTitle().c_str(), MB_OK);
}

void PlayerServices::SetWaveMute(bool muted)
{
    lumo::SetWaveMute(waveOut, muted);
}

bool PlayerServices::unpack(const std::string& workFolder, formats::ZlibMultiple& lib)
{
    if (m_terminated)
        return false;
    const bool hasArchive = static_cast<bool>(resources.rawData("FILELIST"));
    const Status unpacked = unpackProject(files, resources, workFolder, lib);
    if (unpacked)
        return true;
    if (hasArchive)
        removeWorkFolder(workFolder);
    showError(unpacked.message());
    terminate();
    return false;
}

void PlayerServices::removeWorkFolder(const std::string& workFolder)
{
    if (!workFolderUsers.othersUseIt())
        DeleteFolderTree(files, workFolder, true, false, true);
}

bool PlayerServices::dispatchOne(const MSG& message)
{
    if (message.message == WM_QUIT) {
        m_terminated = true;
        return false;
    }
    if (messageFilter) {
        // A copy: the filter may remove itself while it runs.
        const std::function<void(const MSG&)> filter = messageFilter;
        filter(message);
    }
    MSG copy = message;
    if (handleDialogKeys(copy))
        return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void PlayerServices::processMessages()
{
    MSG message;
    while (!m_terminated && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (!dispatchOne(message))
            PostQuitMessage(static_cast<int>(message.wParam));
}

void PlayerServices::terminate()
{
    m_terminated = true;
    PostQuitMessage(0);
}

void PlayerServices::runLoop(const std::function<bool()>& until)
{
    MSG message;
    while (!m_terminated && !(until && until())) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            m_terminated = true;
            break;
        }
        dispatchOne(message);
    }
}

} // namespace lumo::player
