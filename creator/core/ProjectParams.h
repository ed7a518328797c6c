// The settings a produced screensaver reads: the 13 lines of param.lis and their scrambling.
//   "KX", then each byte of the text XORed with 0x5A at odd 1-based positions and 0xC3 at even
//   ones, then CR LF. The text is the 13 lines, each followed by CR LF, in Windows-1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo::creator {

enum class PlayMode { Play, Round, OneByOne };

// What the wizard's controls allow: the change interval in minutes, the settings window's size in
// pixels (a window narrower or lower than its OK button is of no use, one past every screen neither).
inline constexpr int kIntervalMin = 1;
inline constexpr int kIntervalMax = 200;
inline constexpr int kDialogSizeMin = 100;
inline constexpr int kDialogSizeMax = 4000;

// The settings window of the produced screensaver and its play mode, as the wizard collects them.
struct ProjectSettings {
    PlayMode mode = PlayMode::Play;
    int interval = 5; // minutes
    int height = 400;
    int width = 470;
    int left = 0;
    int top = 0;
    std::string title = "Your title";
    bool showMute = true;
    bool muteOn = false;
    bool showText = true;
    std::string text = "Your text here";
};

// The 13 lines; logoExtension with its dot (or empty), projectFileName as it will be installed.
std::vector<std::string> paramLines(const ProjectSettings& settings, const std::string& logoExtension,
                                    const std::string& projectFileName);

// The marker and the scrambled bytes (the file's final CR LF is not part of it).
std::string ScrambleParams(std::string_view text);

} // namespace lumo::creator
