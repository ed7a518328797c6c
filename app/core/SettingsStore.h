// The editor's settings store: string values under HKEY_CURRENT_USER "Software\Corvane\Lumo
// ScreenSaver" (integers as decimal text, booleans "1"/"0") and the list files "FileList.list"
// (every row as "-1;text" checked or "0;text" unchecked) and "PlayList.list" (the checked rows'
// texts) in the list folder. List files carry the host's text (UTF-8 on Linux) unchanged.
#pragma once

#include "EditorControls.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo::app {

inline constexpr std::string_view kSettingsKey = "Software\\Corvane\\Lumo ScreenSaver";

struct PlaylistRow {
    std::string text;
    bool checked = false;
    bool operator==(const PlaylistRow&) const = default;
};

struct StoredSettings {
    bool loop = true;
    bool mute = false;
    int scale = 0;
    int quality = 1;
    bool play1 = false;
    bool rnd = false;
    bool one = true;
    int timer = 5;
    int left = 250;
    int top = 200;
    std::string path;

    static StoredSettings mainWindowDefaults() { return {}; }
    // The full-screen player's own defaults: first-movie-only mode on a first run.
    static StoredSettings fullScreenPlayerDefaults();
};

// The reading rules every reader shares: a missing key or value gives the default; an integer is
// the text read as a signed decimal, anything else gives the default; a boolean is an integer read
// with default 1 or 0 that is true when not 0; a non-string value is an error.
class SettingsReader {
public:
    explicit SettingsReader(platform::Registry& registry)
        : m_registry(registry)
    {
    }
    Result<int> integer(std::string_view name, int fallback);
    Result<bool> boolean(std::string_view name, bool fallback);
    Result<std::string> text(std::string_view name, const std::string& fallback);

private:
    platform::Registry& m_registry;
};

// The full-screen player's read: every value but Left, Top and Path.
Result<StoredSettings> readPlayerSettings(platform::Registry& registry);

// Loads the values into the controls in the stored order (each setter raising what a user's change
// would) and the list folder into programFolder. Stops at the first error; what was loaded stays.
Status ReadSettings(platform::Registry& registry, EditorControls& controls, std::string& programFolder);
// The ten values loop_Checked .. Top, each written by itself; stops at the first failure.
Status WriteSettings(platform::Registry& registry, const EditorControls& controls);

std::string listFilePath(const std::string& programFolder, std::string_view name);
std::vector<std::string> fileListLines(const std::vector<PlaylistRow>& rows);
std::vector<std::string> playListLines(const std::vector<PlaylistRow>& rows);
// Lines that do not start with "-1;" or "0;" are dropped; only the first ";" separates.
std::vector<PlaylistRow> rowsFromFileList(const std::vector<std::string>& lines);

// "FileList.list", then WriteSettings, then "PlayList.list"; stops at the failing step.
Status SaveListFiles(platform::FileSystem& files, platform::Registry& registry, const std::string& programFolder,
                     const std::vector<PlaylistRow>& rows, const EditorControls& controls);
// An empty list when "FileList.list" does not exist.
Result<std::vector<PlaylistRow>> LoadListFile(platform::FileSystem& files, const std::string& programFolder);

} // namespace lumo::app
