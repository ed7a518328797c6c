// TForm3: the installer. Shown, it unpacks the project and shows its logo under the caption
// "Installer for <name>"; "Install" shows the licence when there is one, copies the program to
// <system folder>\<name>.scr and offers to make it the current screensaver.
#pragma once

#include "LicenceWindow.h"
#include "MovieView.h"
#include "NativeWindow.h"
#include "PlayerServices.h"

#include "player/core/Installer.h"

#include <memory>
#include <optional>

namespace lumo::player {

class InstallerWindow final : public NativeWindow, private InstallerSurface {
public:
    explicit InstallerWindow(PlayerServices& services);
    void setLicenceWindow(LicenceWindow* licence) { m_licence = licence; }
    void showLeading() override;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool closeQuery() override;

private:
    void formShow();
    std::string userProgramsFolder() const;

    void setBar(int position) override;
    int bar() const override;
    void setLicenceLines(const std::vector<std::string>& lines, const std::string& screensaverName) override;
    int runLicenceWindow() override;
    Status copyProgramTo(const std::string& path) override;
    bool canElevate() const override;
    Status copyProgramElevated(const std::string& path) override;
    bool askYesNo(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;
    void showError(const std::string& text) override;
    void endProgram() override;

    PlayerServices& m_services;
    LicenceWindow* m_licence = nullptr;
    std::unique_ptr<MovieView> m_view; // sf in the disabled Panel2
    HWND m_bar = nullptr;
    HWND m_install = nullptr;
    ParamLines m_lines;
    std::wstring m_caption = L"Installer ";
};

} // namespace lumo::player
