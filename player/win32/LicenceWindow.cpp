#include "LicenceWindow.h"

#include "Controls.h"

#include "common/Codepage.h"

#include "platform/win32/Wide.h"

namespace lumo::player {

namespace {

constexpr int kAcceptId = IDOK;
constexpr int kDeclineId = IDCANCEL;

} // namespace

LicenceWindow::LicenceWindow(PlayerServices& services)
    : NativeWindow(L"TForm4", L"Form4", {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 311, 317})
    , m_services(services)
{
    SetWindowPos(hwnd(), nullptr, 473, 338, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_memo = createMemo(hwnd(), 0, 0, 311, 317 - 41);
    m_accept = createDefaultButton(hwnd(), kAcceptId, L"&Accept", 72, 317 - 41 + 8, 75, 25);
    createButton(hwnd(), kDeclineId, L"&Decline", 160, 317 - 41 + 8, 75, 25);
    takeDialogKeys(hwnd());
}

void LicenceWindow::setLines(const std::vector<std::string>& lines)
{
    // The Creator copies the licence as the user wrote it: Windows-1252 bytes, as a Windows editor saves them.
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    SetWindowTextW(m_memo, platform::widen(cp1252ToUtf8(text)).c_str());
}

int LicenceWindow::showModal(HWND owner)
{
    m_result = 0;
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    SetFocus(m_accept);
    m_services.runLoop([this] { return m_result != 0; });
    EnableWindow(owner, TRUE);
    ShowWindow(hwnd(), SW_HIDE);
    if (!m_services.terminated())
        SetForegroundWindow(owner);
    return m_result;
}

bool LicenceWindow::closeQuery()
{
    if (m_result == 0)
        m_result = 2; // the close box declines
    return true;
}

LRESULT LicenceWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED
        && (LOWORD(wParam) == kAcceptId || LOWORD(wParam) == kDeclineId)) {
        m_result = LOWORD(wParam) == kAcceptId ? 1 : 2;
        return 0;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

} // namespace lumo::player
