// The editor's start-up decisions: the single-instance test, the mode from the first argument, and
// the order in which the seven windows are created (the first one leads the mode).
#pragma once

#include "platform/WindowPresence.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::app {

inline constexpr std::string_view kMainWindowClass = "TLumoMainFrm";
inline constexpr std::string_view kScreenWindowClass = "TLumoScreenFrm";

enum class EditorMode { Screensaver, EndAtOnce, Editor };

enum class EditorWindow {
    MainWindow, // TLumoMainFrm
    ScreenPlayer, // TLumoScreenFrm
    Creator, // TForm4
    About, // TForm5
    UrlDialog, // TForm7
    CreatorPreview, // TForm8
    SearchDialog, // TForm9
};

// Only the first argument counts: ASCII upper-cased, compared as a whole.
EditorMode decideEditorMode(const std::optional<std::string>& firstArgument);

// "/c" or "/c:<window>" (any case): Windows asking for a screensaver's settings, which open the editor.
bool isSettingsRequest(const std::string& argument);

// A running copy blocks a new start only while both of its windows exist.
bool startBlocked(platform::WindowPresence& presence);

// Empty for EndAtOnce.
std::vector<EditorWindow> windowOrder(EditorMode mode);

} // namespace lumo::app
