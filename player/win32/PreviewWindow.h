// The preview in Windows' Screen Saver Settings: a child of the small monitor's window it is handed
// ("/p <HWND>"), filling its client area with the project's logo (or, with no logo, the first entry
// of the play list), drawn by the same view as the settings dialog's. It ends when that window goes.
#pragma once

#include "MovieView.h"
#include "NativeWindow.h"
#include "PlayerServices.h"

#include <memory>

namespace lumo::player {

class PreviewWindow final : public NativeWindow {
public:
    PreviewWindow(PlayerServices& services, HWND monitor);
    void showLeading() override;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    PlayerServices& m_services;
    HWND m_monitor;
    std::unique_ptr<MovieView> m_view;
};

} // namespace lumo::player
