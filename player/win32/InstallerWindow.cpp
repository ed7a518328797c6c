#include "InstallerWindow.h"

#include "Controls.h"
#include "Dpi.h"
#include "OwnProgramCopy.h"

#include "common/Codepage.h"
#include "common/Text.h"
#include "platform/win32/Wide.h"
#include "player/core/WorkFolder.h"

#include <commctrl.h>
#include <shellapi.h>

namespace lumo::player {

namespace {

constexpr int kInstallId = IDOK;
constexpr int kCancelId = IDCANCEL;

} // namespace

InstallerWindow::InstallerWindow(PlayerServices& services)
    : NativeWindow(L"TForm3", L"Installer ", {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 397, 376})
    , m_services(services)
{
    constexpr int panel1Top = 376 - 56;
    m_view = createMovieView(hwnd(), scaledRect({0, 0, 397, panel1Top}, dpiOf(hwnd())));
    EnableWindow(m_view->hwnd(), FALSE); // Panel2 is disabled: the movie takes no input
    m_bar = createProgressBar(hwnd(), 2, panel1Top + 2, 390, 12);
    m_install = createDefaultButton(hwnd(), kInstallId, L"&Install", 232, panel1Top + 24, 75, 25);
    createButton(hwnd(), kCancelId, L"&Cancel", 320, panel1Top + 24, 75, 25);
    takeDialogKeys(hwnd());
}

void InstallerWindow::showLeading()
{
    // Shown before the project unpacks, so the user sees the bar move rather than nothing at all.
    centreOnDesktop();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    EnableWindow(m_install, FALSE);
    m_services.unpackProgress = [this](int percent) { setBar(percent); };
    formShow();
    m_services.unpackProgress = nullptr;
    if (m_services.terminated())
        return;
    setBar(0);
    EnableWindow(m_install, TRUE);
    SetFocus(m_install);
    // Last: the caption tells whoever waits for it that the installer takes input.
    SetWindowTextW(hwnd(), m_caption.c_str());
}

void InstallerWindow::formShow()
{
    const std::string work = workFolder(m_services.environment);
    if (!m_services.unpack(work, m_services.pumpingLib))
        return;
    Result<ParamLines> lines = readParameterFile(m_services.files, work, [this] { m_services.showWrongMarker(); });
    if (!lines) {
        showError(lines.message());
        return;
    }
    m_lines = *lines;
    Result<std::string> projectFile = m_lines.text(4);
    if (!projectFile) {
        showError(projectFile.message());
        return;
    }
    m_caption = platform::widen(installerCaption(TextBefore('.', *projectFile)));
    Result<std::string> logo = m_lines.text(3);
    if (!logo) {
        showError(logo.message());
        return;
    }
    m_view->loadMovie(0, platform::widen(work + *logo));
    m_view->play();
}

void InstallerWindow::setBar(int position)
{
    SendMessageW(m_bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int InstallerWindow::bar() const
{
    return static_cast<int>(SendMessageW(m_bar, PBM_GETPOS, 0, 0));
}

void InstallerWindow::setLicenceLines(const std::vector<std::string>& lines, const std::string& screensaverName)
{
    m_licence->setLines(lines);
    SetWindowTextW(m_licence->hwnd(), platform::widen(cp1252ToUtf8(screensaverName) + " Licence").c_str());
}

int InstallerWindow::runLicenceWindow()
{
    return m_licence->showModal(hwnd());
}

Status InstallerWindow::copyProgramTo(const std::string& path)
{
    if (const DWORD error = copyOwnProgram(m_services.environment.programPath(), path))
        return Error{platform::win32ErrorText(error)};
    return {};
}

bool InstallerWindow::canElevate() const
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && !elevation.TokenIsElevated;
}

Status InstallerWindow::copyProgramElevated(const std::string& path)
{
    const std::wstring program = platform::widen(m_services.environment.programPath());
    const std::wstring parameters = platform::widen(std::string(kElevatedCopyArgument) + " \"" + path + "\"");
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    run.hwnd = hwnd();
    run.lpVerb = L"runas";
    run.lpFile = program.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    if (!ShellExecuteExW(&run))
        return Error{platform::win32ErrorText(GetLastError())}; // ERROR_CANCELLED when the user says no
    if (!run.hProcess)
        return Error{platform::win32ErrorText(ERROR_INVALID_HANDLE)};
    // The window repaints while it waits, but takes no second Install.
    EnableWindow(hwnd(), FALSE);
    while (MsgWaitForMultipleObjects(1, &run.hProcess, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        m_services.processMessages();
    EnableWindow(hwnd(), TRUE);
    DWORD code = ERROR_GEN_FAILURE;
    GetExitCodeProcess(run.hProcess, &code);
    CloseHandle(run.hProcess);
    if (code != 0)
        return Error{platform::win32ErrorText(code)};
    return {};
}

namespace {

std::wstring captionOf(HWND window)
{
    wchar_t caption[256];
    GetWindowTextW(window, caption, 256);
    return caption;
}

} // namespace

bool InstallerWindow::askYesNo(const std::string& text)
{
    return MessageBoxW(hwnd(), platform::widen(text).c_str(), captionOf(hwnd()).c_str(), MB_YESNO | MB_ICONINFORMATION)
        == IDYES;
}

InstallerSurface::Answer InstallerWindow::askYesNoCancel(const std::string& text)
{
    switch (MessageBoxW(hwnd(), platform::widen(text).c_str(), captionOf(hwnd()).c_str(),
                        MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void InstallerWindow::showError(const std::string& text)
{
    m_services.showError(text);
}

void InstallerWindow::endProgram()
{
    m_services.terminate();
}

std::string InstallerWindow::userProgramsFolder() const
{
    const std::optional<std::string> local = m_services.environment.variable("LOCALAPPDATA");
    return local && !local->empty() ? *local + "\\Programs" : std::string();
}

bool InstallerWindow::closeQuery()
{
    m_services.removeWorkFolder(workFolder(m_services.environment));
    return true;
}

LRESULT InstallerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kInstallId) {
        InstallerContext context{*this,
                                 m_services.files,
                                 m_services.shell,
                                 m_services.random,
                                 workFolder(m_services.environment),
                                 m_services.environment.systemFolder(),
                                 userProgramsFolder()};
        Install(context, installTarget(m_lines, m_services.environment.systemFolder()));
        return 0;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCancelId) {
        PostMessageW(hwnd(), WM_CLOSE, 0, 0); // Cancel ends the installer as the close box does
        return 0;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

} // namespace lumo::player
