#include "Controls.h"

#include "Dpi.h"

#include <commctrl.h>

namespace lumo::player {

namespace {

HWND create(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, HWND parent, int id, int left,
            int top, int width, int height)
{
    const UINT dpi = dpiOf(parent);
    HWND control
        = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, scaled(left, dpi), scaled(top, dpi),
                          scaled(width, dpi), scaled(height, dpi), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont(dpi)), FALSE);
    return control;
}

} // namespace

HWND createButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height)
{
    return create(L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, 0, parent, id, left, top, width, height);
}

namespace {

constexpr const wchar_t* kDialogKeys = L"LumoDialogKeys";

} // namespace

HWND createDefaultButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height)
{
    return create(L"BUTTON", caption, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, parent, id, left, top, width, height);
}

void takeDialogKeys(HWND window)
{
    SetPropW(window, kDialogKeys, reinterpret_cast<HANDLE>(1));
}

bool handleDialogKeys(MSG& message)
{
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    return top && GetPropW(top, kDialogKeys) && IsDialogMessageW(top, &message);
}

HWND createCheckBox(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height)
{
    return create(L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, parent, id, left, top, width, height);
}

HWND createLabel(HWND parent, const wchar_t* caption, int left, int top)
{
    HWND label = create(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, parent, -1, left, top, 0, 0);
    setLabelText(label, caption);
    return label;
}

HWND createMemo(HWND parent, int left, int top, int width, int height)
{
    return create(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                  WS_EX_CLIENTEDGE, parent, -1, left, top, width, height);
}

HWND createProgressBar(HWND parent, int left, int top, int width, int height)
{
    HWND bar = create(PROGRESS_CLASSW, L"", 0, 0, parent, -1, left, top, width, height);
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    return bar;
}

void setLabelText(HWND label, const std::wstring& text)
{
    SetWindowTextW(label, text.c_str());
    const UINT dpi = dpiOf(GetParent(label));
    HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, dialogFont(dpi));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy ? size.cy : scaled(13, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setBounds(HWND control, int left, int top, int width, int height)
{
    const UINT dpi = dpiOf(GetParent(control));
    SetWindowPos(control, nullptr, scaled(left, dpi), scaled(top, dpi), scaled(width, dpi), scaled(height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT boundsOf(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    HWND parent = GetParent(control);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    const UINT dpi = dpiOf(parent);
    return {unscaled(r.left, dpi), unscaled(r.top, dpi), unscaled(r.right, dpi), unscaled(r.bottom, dpi)};
}

} // namespace lumo::player
