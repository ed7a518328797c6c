// The four windows of the player program. Their contents (movie view, installer, settings dialog,
// full-screen playback) grow on these frames; each keeps its designed class, caption and size.
#pragma once

#include "NativeWindow.h"

namespace lumo::player {

// TFSMainFrm: the settings dialog, 453 x 217, single fixed border with the system menu only.
class FSMainFrm final : public NativeWindow {
public:
    FSMainFrm();
};

// TFSScreenSaver: borderless, on top, maximised; input ends it.
class FSScreenSaver final : public NativeWindow {
public:
    FSScreenSaver();
    void showMaximised();

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// TForm3: the installer, 397 x 376, fixed border with system menu and minimise button.
class Form3 final : public NativeWindow {
public:
    Form3();
};

// TForm4: the licence window, 311 x 317, at its designed position.
class Form4 final : public NativeWindow {
public:
    Form4();
};

} // namespace lumo::player
