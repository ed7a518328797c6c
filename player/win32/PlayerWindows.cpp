#include "PlayerWindows.h"

namespace lumo::player {

namespace {

constexpr DWORD kDialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kMinimisableStyle = kDialogStyle | WS_MINIMIZEBOX;

} // namespace

FSMainFrm::FSMainFrm()
    : NativeWindow(L"TFSMainFrm", L"Lumo ScreenSaver", {kDialogStyle, 0, 453, 217})
{
}

FSScreenSaver::FSScreenSaver()
    : NativeWindow(L"TFSScreenSaver", L"FSScreenSaver",
                   {WS_POPUP, WS_EX_TOPMOST, 640, 480, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))})
{
}

void FSScreenSaver::showMaximised()
{
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
}

LRESULT FSScreenSaver::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

Form3::Form3()
    : NativeWindow(L"TForm3", L"Installer ", {kMinimisableStyle, 0, 397, 376})
{
}

Form4::Form4()
    : NativeWindow(L"TForm4", L"Form4", {kMinimisableStyle, 0, 311, 317})
{
    SetWindowPos(hwnd(), nullptr, 473, 338, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace lumo::player
