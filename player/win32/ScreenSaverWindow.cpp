#include "ScreenSaverWindow.h"

#include "platform/win32/Wide.h"
#include "player/core/SettingsDialog.h"
#include "player/core/StandIn.h"
#include "player/core/WorkFolder.h"

#include <windowsx.h>

namespace lumo::player {

namespace {

constexpr UINT_PTR kTimer1 = 1;

} // namespace

ScreenSaverWindow::ScreenSaverWindow(PlayerServices& services)
    : NativeWindow(L"TFSScreenSaver", L"FSScreenSaver",
                   {WS_POPUP | WS_CLIPCHILDREN, 0, 640, 480, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))})
    , m_services(services)
    , m_sequence(services.random)
{
    m_view = createMovieView(hwnd(), {0, 0, 640, 480});
    formCreate();
}

void ScreenSaverWindow::formCreate()
{
    m_workFolder = workFolder(m_services.environment);
    if (!m_services.unpack(m_workFolder, m_services.quietLib))
        return; // the pointer stays visible and no filter is installed
    m_sequence.restart();
    POINT at{};
    GetCursorPos(&at);
    m_start = {at.x, at.y};
    m_services.messageFilter = [this](const MSG& message) { appMessage(message); };
    ShowCursor(FALSE);
}

void ScreenSaverWindow::showLeading()
{
    formShow();
    if (m_services.terminated())
        return;
    coverScreens();
    ShowWindow(hwnd(), SW_SHOW);
}

void ScreenSaverWindow::coverScreens()
{
    // Every monitor, so no desktop shows beside the screensaver; the movie plays on the primary one.
    SetWindowPos(hwnd(), nullptr, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ScreenSaverWindow::movieArea() const
{
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    RECT area{};
    if (!GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) {
        GetClientRect(hwnd(), &area);
        return area;
    }
    area = primary.rcMonitor;
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void ScreenSaverWindow::formShow()
{
    m_playList.clear();
    m_lines = ParamLines();
    Result<bool> muted = readMuteSound(m_services.registry, programFileName(m_services.environment));
    if (!muted) {
        m_services.showError(muted.message());
        return;
    }
    m_services.SetWaveMute(*muted);
    m_view->setMuted(*muted);
    Result<ParamLines> lines
        = readParameterFile(m_services.files, m_workFolder, [this] { m_services.showWrongMarker(); });
    if (!lines) {
        m_services.showError(lines.message());
        return;
    }
    m_lines = *lines;
    const StandIn standIn = standInOf(m_lines, m_workFolder);
    m_view->setStandIn(platform::widen(standIn.logo), platform::widen(standIn.title));
    Result<std::vector<std::string>> playList = readPlayList(m_services.files, m_workFolder);
    if (!playList) {
        m_services.showError(playList.message());
        return;
    }
    m_playList = *playList;
    if (Status played = playEntry(0); !played) {
        m_services.showError(played.message());
        return;
    }
    m_sequence.restart();
    // A project without its mode line is said, and plays its first movie.
    const Result<std::string> mode = m_lines.text(1);
    if (!mode)
        m_services.showError(mode.message());
    m_sequence.setMode(mode ? *mode : std::string());
    Result<int> minutes = m_lines.integer(2);
    if (!minutes) {
        m_services.showError(minutes.message());
        return;
    }
    if (const std::optional<std::uint32_t> interval = changeIntervalMs(*minutes))
        SetTimer(hwnd(), kTimer1, *interval, nullptr);
}

Status ScreenSaverWindow::playEntry(std::uint32_t index)
{
    if (index >= m_playList.size())
        return Error{formatMessage("List index out of bounds (%d)", {std::to_string(index)})};
    // PlayMov: no Play follows; the view starts the movie itself.
    m_view->setBackgroundColor(-1);
    m_view->setBGColor(L"");
    m_view->setMovie(platform::widen(m_workFolder + "\\" + m_playList[index]));
    return {};
}

void ScreenSaverWindow::timerTick()
{
    const std::optional<std::uint32_t> next = m_sequence.next(static_cast<std::uint32_t>(m_playList.size()));
    if (!next)
        return;
    if (Status played = playEntry(*next); !played)
        m_services.showError(played.message());
}

void ScreenSaverWindow::appMessage(const MSG& message)
{
    ScreenPoint at{};
    if (message.message == WM_MOUSEMOVE) {
        // The position is relative to the window that gets the message; compare on the screen.
        POINT p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        if (message.hwnd)
            ClientToScreen(message.hwnd, &p);
        at = {p.x, p.y};
    }
    if (closesPlayer(message.message, at, m_start))
        close();
}

bool ScreenSaverWindow::closeQuery()
{
    m_services.removeWorkFolder(m_workFolder);
    m_services.SetWaveMute(false);
    m_services.messageFilter = nullptr;
    ShowCursor(TRUE);
    return true;
}

LRESULT ScreenSaverWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimer1)
            timerTick();
        return 0;
    case WM_DISPLAYCHANGE:
        coverScreens();
        m_view->setBounds(movieArea()); // the primary monitor may move while the whole stays as large
        return 0;
    case WM_SIZE: {
        m_view->setBounds(movieArea());
        // The focus routine: the movie gets the focus once and never the input.
        EnableWindow(m_view->hwnd(), TRUE);
        SetFocus(m_view->hwnd());
        EnableWindow(m_view->hwnd(), FALSE);
        return 0;
    }
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

} // namespace lumo::player
