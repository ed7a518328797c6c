#include "NativeWindow.h"

#include "Dpi.h"

namespace lumo::player {

NativeWindow::NativeWindow(const wchar_t* className, const std::wstring& caption, const WindowStyle& style)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &NativeWindow::dispatch;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, L"MAINICON");
        wc.hIconSm = wc.hIcon;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.hbrBackground = style.background;
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    m_hwnd = CreateWindowExW(style.exStyle, className, caption.c_str(), style.style, CW_USEDEFAULT, CW_USEDEFAULT,
                             style.clientWidth, style.clientHeight, style.parent, nullptr, instance, this);
    if (m_hwnd)
        setClientSize(style.clientWidth, style.clientHeight);
}

void NativeWindow::setClientSize(int width, int height)
{
    const UINT dpi = dpiOf(m_hwnd);
    RECT frame{0, 0, scaled(width, dpi), scaled(height, dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
    SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The window moved to a monitor of another DPI: its controls keep their designed places and sizes.
void rescaleControls(HWND window, UINT from, UINT to)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        const auto move = [&](LONG v) { return MulDiv(v, static_cast<int>(to), static_cast<int>(from)); };
        SetWindowPos(child, nullptr, move(r.left), move(r.top), move(r.right - r.left), move(r.bottom - r.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (SendMessageW(child, WM_GETFONT, 0, 0))
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont(to)), TRUE);
    }
}

} // namespace

NativeWindow::~NativeWindow()
{
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

void NativeWindow::centreOnDesktop()
{
    RECT r;
    GetWindowRect(m_hwnd, &r);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeWindow::showLeading()
{
    centreOnDesktop();
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
}

LRESULT NativeWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        if (closeQuery()) {
            if (m_leading)
                DestroyWindow(m_hwnd);
            else
                ShowWindow(m_hwnd, SW_HIDE);
        }
        return 0;
    }
    if (message == WM_DPICHANGED) {
        rescaleControls(m_hwnd, m_dpi ? m_dpi : dpiOf(m_hwnd), LOWORD(wParam));
        m_dpi = LOWORD(wParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (message == WM_DESTROY) {
        const bool leading = m_leading;
        m_hwnd = nullptr;
        if (leading)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK NativeWindow::dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<NativeWindow*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->onMessage(message, wParam, lParam);
}

} // namespace lumo::player
