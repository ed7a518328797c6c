// TFSMainFrm: the screensaver's settings dialog. Its look comes from the parameter lines; its only
// setting, "Mute", applies to the wave output at once and is stored by "Ok".
#pragma once

#include "MovieView.h"
#include "NativeWindow.h"
#include "PlayerServices.h"

#include "player/core/SettingsDialog.h"

#include <memory>

namespace lumo::player {

class SettingsWindow final : public NativeWindow, private SettingsDialogSurface {
public:
    explicit SettingsWindow(PlayerServices& services);
    void showLeading() override;
    // The window Windows' Screen Saver Settings hand over with "/c:": it owns the dialog and waits
    // for it, as it waits for its own dialogs.
    void setOwner(HWND owner);
    ~SettingsWindow() override
    {
        if (m_owner)
            EnableWindow(m_owner, TRUE); // however the program ends
    }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool closeQuery() override;

private:
    void formShow();
    void checkBoxClick();
    void okClick();
    void layout();

    void setCaption(const std::string& caption) override;
    void setOuterSize(int width, int height) override;
    void setMuteVisible(bool visible) override;
    void setLabelVisible(bool visible) override;
    void setLabel(const std::string& text) override;
    void showLogo(const std::string& location) override;

    PlayerServices& m_services;
    std::unique_ptr<MovieView> m_view; // sf, inside the disabled Panel1
    HWND m_label = nullptr; // Label1
    HWND m_mute = nullptr; // CheckBox1
    HWND m_ok = nullptr; // Button1
    HWND m_owner = nullptr;
};

} // namespace lumo::player
