// What Windows does around a screensaver, for the end-to-end tests under Wine:
//   lumo_test_host preview <saver>   a window like the display settings' small monitor; starts the
//                                    saver with "/p <its handle>" and prints "child <class> <width>
//                                    <height> <visible>" once a child window of the saver stands in
//                                    it; Escape closes it, and the exit code says whether the saver
//                                    then ended (0) or not (2).
//   lumo_test_host configure <saver> a window like the display settings; starts the saver with
//                                    "/c:<its handle>" and waits for it: 0 when the window was
//                                    disabled while the saver's dialog stood and enabled after it.
//   lumo_test_host monitors          prints each monitor as "left top right bottom primary".
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND hostWindow(const wchar_t* caption)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"LumoPreviewHost";
    RegisterClassW(&wc);
    RECT frame{0, 0, 240, 180};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE);
    HWND window
        = CreateWindowW(L"LumoPreviewHost", caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    return window;
}

HANDLE start(const wchar_t* saver, const wchar_t* argument, HWND window)
{
    std::wstring command = L"\"" + std::wstring(saver) + L"\" " + argument
        + std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int configure(const wchar_t* saver)
{
    HWND window = hostWindow(L"Settings host");
    HANDLE process = start(saver, L"/c:", window);
    if (!process)
        return 3;
    bool disabled = false;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0)
            break;
        disabled = disabled || !IsWindowEnabled(window);
    }
    CloseHandle(process);
    return disabled && IsWindowEnabled(window) ? 0 : 4;
}

int preview(const wchar_t* saver)
{
    HWND window = hostWindow(L"Preview host");
    HANDLE process = start(saver, L"/p ", window);
    if (!process)
        return 3;

    // Wine does not draw a child window of another process, so what the saver put there is told.
    SetTimer(window, 1, 100, nullptr);
    bool told = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND child = message.message == WM_TIMER && !told ? GetWindow(window, GW_CHILD) : nullptr;
        if (child && IsWindowVisible(child)) {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            RECT r{};
            GetWindowRect(child, &r);
            std::printf("child %ls %ld %ld %d\n", name, r.right - r.left, r.bottom - r.top, 1);
            std::fflush(stdout);
            told = true;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    const bool ended = WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return ended ? 0 : 2;
}

BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    std::printf("%ld %ld %ld %ld %d\n", info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"preview")
        return preview(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"configure")
        return configure(argv[2]);
    if (argc == 2 && std::wstring(argv[1]) == L"monitors") {
        EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0);
        return 0;
    }
    std::fputs("usage: lumo_test_host preview <saver> | configure <saver> | monitors\n", stderr);
    return 64;
}
