// A top-level Win32 window of a registered class, created hidden, its client size given in 96-DPI
// units and scaled to the DPI of the monitor it stands on. The class name is the window's
// identity (other programs look windows up by it); subclasses handle the messages they need.
#pragma once

#include <windows.h>

#include <string>

namespace lumo::player {

struct WindowStyle {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    HWND parent = nullptr; // a child window of another program's window (the preview)
};

class NativeWindow {
public:
    NativeWindow(const wchar_t* className, const std::wstring& caption, const WindowStyle& style);
    virtual ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    void centreOnDesktop();
    // The leading window ends the message loop when it is destroyed; closing any other only hides it.
    void setLeading(bool leading) { m_leading = leading; }
    bool leading() const { return m_leading; }
    // The first window of the mode is shown when the loop starts.
    virtual void showLeading();
    // In 96-DPI units, scaled to the window's DPI.
    void setClientSize(int width, int height);
    // The ordinary close request: the close step, then destroy (leading) or hide.
    void close() { SendMessageW(m_hwnd, WM_CLOSE, 0, 0); }

protected:
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // FormCloseQuery: false keeps the window open.
    virtual bool closeQuery() { return true; }

private:
    static LRESULT CALLBACK dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    bool m_leading = false;
    UINT m_dpi = 0; // as last told by the system; 0 until a change
};

} // namespace lumo::player
