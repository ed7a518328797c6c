#include "PreviewWindow.h"

#include "platform/win32/Wide.h"
#include "player/core/StandIn.h"
#include "player/core/WorkFolder.h"

namespace lumo::player {

namespace {

constexpr UINT_PTR kWatchMonitor = 1;

RECT clientOf(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

} // namespace

PreviewWindow::PreviewWindow(PlayerServices& services, HWND monitor)
    : NativeWindow(L"LumoPreview", L"Preview",
                   {WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), monitor})
    , m_services(services)
    , m_monitor(monitor)
{
    const RECT area = clientOf(monitor);
    m_view = createMovieView(hwnd(), area);
    SetWindowPos(hwnd(), nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(m_view->hwnd(), FALSE); // a picture to look at; the settings window keeps the input
}

void PreviewWindow::showLeading()
{
    const std::string work = workFolder(m_services.environment);
    if (!m_services.unpack(work, m_services.quietLib))
        return;
    Result<ParamLines> lines = readParameterFile(m_services.files, work, [] {});
    if (!lines) {
        m_services.showError(lines.message());
        m_services.terminate();
        return;
    }
    const StandIn standIn = standInOf(*lines, work);
    m_view->setStandIn(platform::widen(standIn.logo), platform::widen(standIn.title));
    std::wstring shown = platform::widen(standIn.logo);
    if (shown.empty()) {
        const Result<std::vector<std::string>> playList = readPlayList(m_services.files, work);
        if (playList && !playList->empty())
            shown = platform::widen(inWorkFolder(work, playList->front()));
    }
    m_view->loadMovie(0, shown);
    m_view->play();
    // The child dies with the monitor's window; should the system not tell this thread, look.
    SetTimer(hwnd(), kWatchMonitor, 500, nullptr);
    ShowWindow(hwnd(), SW_SHOWNA);
}

LRESULT PreviewWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kWatchMonitor) {
        if (!IsWindow(m_monitor))
            DestroyWindow(hwnd());
        return 0;
    }
    if (message == WM_SIZE && m_view) {
        m_view->setBounds({0, 0, LOWORD(lParam), HIWORD(lParam)});
        return 0;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

} // namespace lumo::player
