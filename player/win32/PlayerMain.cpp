// The player program's entry: the mode from the own file name and the first argument, the windows
// of that mode created hidden in their order (creating the player window runs its creation step),
// the leading one shown when the loop starts, the loop until it closes. The "none" modes end at
// once with exit code 0 and no window.
#include "InstallerWindow.h"
#include "LicenceWindow.h"
#include "OwnProgramCopy.h"
#include "PlayerServices.h"
#include "PreviewWindow.h"
#include "ScreenSaverWindow.h"
#include "SettingsWindow.h"

#include "platform/win32/Wide.h"
#include "player/core/Installer.h"
#include "player/core/PlayerMode.h"
#include "player/core/WorkFolder.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

using namespace lumo::player;

namespace {

// The arguments after the program's own name.
std::vector<std::string> programArguments()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments && i < count; ++i)
        result.push_back(lumo::platform::narrow(arguments[i]));
    LocalFree(arguments);
    return result;
}

// The window the system handed over, when it is one.
HWND handedWindowOf(PlayerMode mode, const std::vector<std::string>& arguments)
{
    const std::optional<std::uint64_t> handle = handedWindow(mode, arguments);
    HWND window = handle ? reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*handle)) : nullptr;
    return window && IsWindow(window) ? window : nullptr;
}

std::unique_ptr<NativeWindow> createWindow(PlayerWindow which, PlayerServices& services, HWND handed)
{
    switch (which) {
    case PlayerWindow::Preview:
        return std::make_unique<PreviewWindow>(services, handed);
    case PlayerWindow::MainFrm:
        return std::make_unique<SettingsWindow>(services);
    case PlayerWindow::ScreenSaver:
        return std::make_unique<ScreenSaverWindow>(services);
    case PlayerWindow::Installer:
        return std::make_unique<InstallerWindow>(services);
    case PlayerWindow::Licence:
        return std::make_unique<LicenceWindow>(services);
    }
    return nullptr;
}

// The installer re-started with an administrator's rights: the one copy it was started for.
int elevatedCopy(const std::vector<std::string>& arguments)
{
    lumo::platform::Environment& environment = lumo::platform::hostEnvironment();
    if (arguments.size() != 2 || !isElevatedCopyTarget(arguments[1], environment.systemFolder()))
        return ERROR_INVALID_PARAMETER;
    return static_cast<int>(copyOwnProgram(environment.programPath(), arguments[1]));
}

} // namespace

static int runPlayer()
{
    const std::vector<std::string> arguments = programArguments();
    const PlayerMode mode
        = decidePlayerMode(lumo::platform::hostEnvironment().programPath(),
                           arguments.empty() ? std::nullopt : std::optional<std::string>(arguments.front()));
    if (mode == PlayerMode::ElevatedCopy)
        return elevatedCopy(arguments);
    const std::vector<PlayerWindow> order = playerWindows(mode);
    const HWND handed = handedWindowOf(mode, arguments);
    if (order.empty() || (mode == PlayerMode::Preview && !handed))
        return 0; // a preview into no window ends at once

    OleInitialize(nullptr);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    {
        PlayerServices services;
        std::vector<std::unique_ptr<NativeWindow>> windows;
        for (const PlayerWindow which : order)
            windows.push_back(createWindow(which, services, handed));
        for (auto& window : windows)
            if (auto* installer = dynamic_cast<InstallerWindow*>(window.get()))
                for (auto& other : windows)
                    if (auto* licence = dynamic_cast<LicenceWindow*>(other.get()))
                        installer->setLicenceWindow(licence);

        if (auto* settings = dynamic_cast<SettingsWindow*>(windows.front().get()); settings && handed)
            settings->setOwner(handed);
        windows.front()->setLeading(true);
        // A creation step that could not unpack the project has ended the program already.
        if (!services.terminated()) {
            windows.front()->showLeading();
            services.runLoop();
        }
        // The other windows go without their close steps.
        services.messageFilter = nullptr;
        windows.clear();
        // Whatever the ending; the last instance of the program to end removes the folder.
        services.workFolderUsers.leave();
        services.removeWorkFolder(lumo::player::workFolder(services.environment));
    }
    OleUninitialize();
    return 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // A damaged project is reported where it is met; anything past that still ends with one box,
    // never an abort.
    try {
        return runPlayer();
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, lumo::platform::widen(std::string("Unexpected error: ") + e.what()).c_str(), L"Error",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}
