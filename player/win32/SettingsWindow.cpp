#include "SettingsWindow.h"

#include "Controls.h"
#include "Dpi.h"

#include "platform/win32/Wide.h"
#include "player/core/StandIn.h"
#include "player/core/WorkFolder.h"

namespace lumo::player {

namespace {

constexpr int kOkId = IDOK;
constexpr int kMuteId = 3;
constexpr int kPanel2Height = 41;

} // namespace

SettingsWindow::SettingsWindow(PlayerServices& services)
    : NativeWindow(L"TFSMainFrm", L"Lumo ScreenSaver", {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 453, 217})
    , m_services(services)
{
    m_view = createMovieView(hwnd(), scaledRect({0, 0, 453, 217 - kPanel2Height}, dpiOf(hwnd())));
    EnableWindow(m_view->hwnd(), FALSE); // Panel1 is disabled: the movie takes no input
    m_label = createLabel(hwnd(), L"Label1", 8, 176 + 16);
    m_mute = createCheckBox(hwnd(), kMuteId, L"&Mute", 312, 176 + 16, 49, 17);
    m_ok = createDefaultButton(hwnd(), kOkId, L"&Ok", 368, 176 + 8, 75, 25);
    takeDialogKeys(hwnd());
}

void SettingsWindow::setOwner(HWND owner)
{
    m_owner = owner;
    SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void SettingsWindow::showLeading()
{
    formShow();
    if (m_services.terminated())
        return;
    centreOnDesktop();
    if (m_owner)
        EnableWindow(m_owner, FALSE);
    ShowWindow(hwnd(), SW_SHOWNORMAL);
}

void SettingsWindow::formShow()
{
    Result<bool> muted = readMuteSound(m_services.registry, programFileName(m_services.environment));
    if (!muted) {
        m_services.showError(muted.message());
        return;
    }
    const bool was = SendMessageW(m_mute, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageW(m_mute, BM_SETCHECK, *muted ? BST_CHECKED : BST_UNCHECKED, 0);
    if (was != *muted)
        checkBoxClick(); // as a user's click would
    m_services.SetWaveMute(*muted);
    m_view->setMuted(*muted);

    const std::string work = workFolder(m_services.environment);
    if (!m_services.unpack(work, m_services.pumpingLib))
        return;
    Result<ParamLines> lines = readParameterFile(m_services.files, work, [this] { m_services.showWrongMarker(); });
    if (!lines) {
        m_services.showError(lines.message());
        return;
    }
    const StandIn standIn = standInOf(*lines, work);
    m_view->setStandIn(platform::widen(standIn.logo), platform::widen(standIn.title));
    if (!m_view->playsMovies()) {
        const Result<std::vector<std::string>> playList = readPlayList(m_services.files, work);
        const auto hasVideo = [&](const std::string& video) {
            return m_services.files.fileSize(inWorkFolder(work, video)).has_value();
        };
        if (playList && anyMovieWithoutVideo(*playList, hasVideo))
            m_view->setNote(platform::widen(kNoFlashNote));
    }
    if (Status applied = applyParameterLines(*lines, work, *this); !applied)
        m_services.showError(applied.message());
}

void SettingsWindow::checkBoxClick()
{
    const bool muted = SendMessageW(m_mute, BM_GETCHECK, 0, 0) == BST_CHECKED;
    m_services.SetWaveMute(muted);
    m_view->setMuted(muted);
}

void SettingsWindow::okClick()
{
    const bool muted = SendMessageW(m_mute, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (Status written = writeMuteSound(m_services.registry, programFileName(m_services.environment), muted);
        !written) {
        m_services.showError(written.message());
        return; // the dialog stays open
    }
    close();
}

bool SettingsWindow::closeQuery()
{
    if (m_owner) {
        // Before this window goes, or the owner would not get the activation back.
        EnableWindow(m_owner, TRUE);
        SetForegroundWindow(m_owner);
    }
    m_services.removeWorkFolder(workFolder(m_services.environment));
    return true;
}

void SettingsWindow::layout()
{
    RECT client;
    GetClientRect(hwnd(), &client);
    const UINT dpi = dpiOf(hwnd());
    client = {0, 0, unscaled(client.right, dpi), unscaled(client.bottom, dpi)};
    const int top = client.bottom - kPanel2Height;
    m_view->setBounds(scaledRect({0, 0, client.right, top}, dpi));
    const RECT label = boundsOf(m_label);
    setBounds(m_label, 8, top + 16, label.right - label.left, label.bottom - label.top);
    // CheckBox1 and Button1 are anchored to the top right of Panel2.
    setBounds(m_mute, client.right - (453 - 312), top + 16, 49, 17);
    setBounds(m_ok, client.right - (453 - 368), top + 8, 75, 25);
}

void SettingsWindow::setCaption(const std::string& caption)
{
    SetWindowTextW(hwnd(), platform::widen(caption).c_str());
}

void SettingsWindow::setOuterSize(int width, int height)
{
    const UINT dpi = dpiOf(hwnd());
    SetWindowPos(hwnd(), nullptr, 0, 0, scaled(width, dpi), scaled(height, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsWindow::setMuteVisible(bool visible)
{
    ShowWindow(m_mute, visible ? SW_SHOW : SW_HIDE);
}

void SettingsWindow::setLabelVisible(bool visible)
{
    ShowWindow(m_label, visible ? SW_SHOW : SW_HIDE);
}

void SettingsWindow::setLabel(const std::string& text)
{
    setLabelText(m_label, platform::widen(text));
}

void SettingsWindow::showLogo(const std::string& location)
{
    m_view->loadMovie(0, platform::widen(location));
    m_view->play();
}

LRESULT SettingsWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kMuteId)
            checkBoxClick();
        else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kOkId)
            okClick();
        else if (LOWORD(wParam) == IDCANCEL)
            close(); // Escape: as the close box, which stores nothing
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_ACTIVATE:
        // The focus routine: the movie never keeps the keyboard, so "Ok" has it.
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(m_ok);
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

} // namespace lumo::player
