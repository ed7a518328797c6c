// The role of the player program, from the extension of its own file name and its first argument.
// The tests are made in order and the first that holds decides:
//   0. argument "--lumo-copy-to"                      the installer's copy with an administrator's
//                                                     rights (no window; see Installer.h)
//   1. argument "/S"                                  screensaver
//   2. extension ".SCR" and the argument is not "/P"  settings (no argument included)
//   3. argument "/P"                                  preview (into the window the next argument names)
//   4. extension ".EXE" and no argument               installer
//   5. anything else                                  none
// Argument and extension are ASCII upper-cased and compared as a whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::player {

enum class PlayerMode { ElevatedCopy, Screensaver, Settings, Installer, Preview, None };

enum class PlayerWindow {
    MainFrm, // TFSMainFrm, the settings dialog that lends its parts to the others
    ScreenSaver, // TFSScreenSaver, the full-screen player
    Installer, // TForm3
    Licence, // TForm4
    Preview, // the logo inside the display settings' small monitor
};

PlayerMode decidePlayerMode(std::string_view programFileName, const std::optional<std::string>& firstArgument);

// The windows of a mode in creation order; the first leads. Empty for None.
std::vector<PlayerWindow> playerWindows(PlayerMode mode);

// The window the system hands over: for the preview, the argument after "/p"; for the settings,
// the number after "/c:". Decimal, or hexadecimal after "0x"; nullopt when there is none or it is
// no number a window handle can be.
std::optional<std::uint64_t> handedWindow(PlayerMode mode, const std::vector<std::string>& arguments);

} // namespace lumo::player
