// TFSScreenSaver: the full-screen player, over every monitor, the movie on the primary one. Created, it unpacks the
// project, notes the pointer, installs the input filter and hides the pointer; shown, it plays playl.lis in the
// project's order and changes movie every interval; the first input closes it and its close step cleans up.
#pragma once

#include "MovieView.h"
#include "NativeWindow.h"
#include "PlayerServices.h"

#include "player/core/InputFilter.h"
#include "player/core/ParamFile.h"
#include "player/core/PlaySequence.h"

#include <memory>
#include <string>
#include <vector>

namespace lumo::player {

class ScreenSaverWindow final : public NativeWindow {
public:
    explicit ScreenSaverWindow(PlayerServices& services);
    void showLeading() override;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool closeQuery() override;

private:
    void coverScreens();
    RECT movieArea() const; // the primary monitor, in client coordinates
    void formCreate();
    void formShow();
    void timerTick();
    void appMessage(const MSG& message);
    Status playEntry(std::uint32_t index);

    PlayerServices& m_services;
    std::unique_ptr<MovieView> m_view; // sf in Panel1
    PlaySequence m_sequence;
    std::vector<std::string> m_playList;
    ParamLines m_lines;
    ScreenPoint m_start;
    std::string m_workFolder;
};

} // namespace lumo::player
