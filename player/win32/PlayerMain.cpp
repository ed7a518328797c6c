// The player program's entry: the mode from the own file name and the first argument, the windows
// of that mode created hidden in their order (creating the player window runs its creation step),
// the leading one shown when the loop starts, the loop until it closes. The "none" modes end at
// once with exit code 0 and no window.
#include "InstallerWindow.h"
#include "LicenceWindow.h"
#include "PlayerServices.h"
#include "ScreenSaverWindow.h"
#include "SettingsWindow.h"

#include "common/DeleteFolderTree.h"
#include "common/PathRules.h"
#include "platform/win32/Wide.h"
#include "player/core/PlayerMode.h"
#include "player/core/WorkFolder.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <optional>
#include <vector>

using namespace lumo::player;

namespace {

std::optional<std::string> firstArgument()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::optional<std::string> first;
    if (arguments && count > 1)
        first = lumo::platform::narrow(arguments[1]);
    LocalFree(arguments);
    return first;
}

std::unique_ptr<NativeWindow> createWindow(PlayerWindow which, PlayerServices& services)
{
    switch (which) {
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

} // namespace

static int runPlayer()
{
    const PlayerMode mode = decidePlayerMode(lumo::platform::hostEnvironment().programPath(), firstArgument());
    const std::vector<PlayerWindow> order = playerWindows(mode);
    if (order.empty())
        return 0;

    // The instances of this program share its work folder: each holds this name while it runs, and
    // the last one to end removes the folder, whatever the ending.
    const std::wstring usersName
        = L"Local\\LumoScreenSaverWork-"
        + lumo::platform::widen(lumo::fileNameOf(lumo::platform::hostEnvironment().programPath()));
    HANDLE users = CreateMutexW(nullptr, FALSE, usersName.c_str());

    OleInitialize(nullptr);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    {
        PlayerServices services;
        std::vector<std::unique_ptr<NativeWindow>> windows;
        for (const PlayerWindow which : order)
            windows.push_back(createWindow(which, services));
        for (auto& window : windows)
            if (auto* installer = dynamic_cast<InstallerWindow*>(window.get()))
                for (auto& other : windows)
                    if (auto* licence = dynamic_cast<LicenceWindow*>(other.get()))
                        installer->setLicenceWindow(licence);

        windows.front()->setLeading(true);
        // A creation step that could not unpack the project has ended the program already.
        if (!services.terminated()) {
            windows.front()->showLeading();
            services.runLoop();
        }
        // The other windows go without their close steps.
        services.messageFilter = nullptr;
        windows.clear();
        if (users)
            CloseHandle(users);
        if (HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, usersName.c_str()))
            CloseHandle(other); // another instance still works in the folder
        else
            lumo::DeleteFolderTree(services.files, lumo::player::workFolder(services.environment), true, false, true);
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
