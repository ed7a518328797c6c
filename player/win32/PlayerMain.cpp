// The player program's entry: the mode from the own file name and the first argument, the windows
// of that mode created hidden in their order, the leading one shown, the message loop until it
// closes. The "none" modes end at once with exit code 0 and no window.
#include "PlayerWindows.h"

#include "platform/Host.h"
#include "platform/win32/Wide.h"
#include "player/core/PlayerMode.h"

#include <windows.h>

#include <shellapi.h>

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

std::unique_ptr<NativeWindow> createWindow(PlayerWindow which)
{
    switch (which) {
    case PlayerWindow::MainFrm:
        return std::make_unique<FSMainFrm>();
    case PlayerWindow::ScreenSaver:
        return std::make_unique<FSScreenSaver>();
    case PlayerWindow::Installer:
        return std::make_unique<Form3>();
    case PlayerWindow::Licence:
        return std::make_unique<Form4>();
    }
    return nullptr;
}

void showLeading(NativeWindow& window, PlayerWindow which)
{
    if (which == PlayerWindow::ScreenSaver) {
        static_cast<FSScreenSaver&>(window).showMaximised();
        return;
    }
    window.centreOnDesktop();
    ShowWindow(window.hwnd(), SW_SHOWNORMAL);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const PlayerMode mode = decidePlayerMode(lumo::platform::hostEnvironment().programPath(), firstArgument());
    const std::vector<PlayerWindow> order = playerWindows(mode);
    if (order.empty())
        return 0;

    std::vector<std::unique_ptr<NativeWindow>> windows;
    for (const PlayerWindow which : order)
        windows.push_back(createWindow(which));
    windows.front()->setLeading(true);
    showLeading(*windows.front(), order.front());

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The other windows go without their close steps.
    windows.clear();
    return 0;
}
