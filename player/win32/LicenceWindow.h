// TForm4: the licence, shown modally from the installer. "Accept" gives 1; "Decline" and the
// close box give 2.
#pragma once

#include "NativeWindow.h"
#include "PlayerServices.h"

#include <string>
#include <vector>

namespace lumo::player {

class LicenceWindow final : public NativeWindow {
public:
    explicit LicenceWindow(PlayerServices& services);
    void setLines(const std::vector<std::string>& lines);
    // Disables owner, shows the window and runs the loop until it is closed.
    int showModal(HWND owner);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool closeQuery() override;

private:
    PlayerServices& m_services;
    HWND m_memo = nullptr; // Memo1
    HWND m_accept = nullptr;
    int m_result = 0;
};

} // namespace lumo::player
