// What the player shows where it cannot show a movie (no Flash control, a damaged file): the
// project's logo, or, when the logo cannot be drawn either, the screensaver's name.
#pragma once

#include "ParamFile.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::player {

struct StandIn {
    std::string logo; // the logo file in the work folder; empty with no logo line
    std::string title; // the screensaver's name (the project file's name before its first dot)
};

StandIn standInOf(const ParamLines& lines, const std::string& workFolder);

// The pictures the player draws itself (by extension, letter case ignored); everything else needs
// the Flash control.
bool isPicture(std::string_view location);
// Whether an entry would need the Flash control: no picture, and no video beside it (hasVideo is
// asked with an entry's video, "x.avi" for "x.swf").
bool anyMovieWithoutVideo(const std::vector<std::string>& playList,
                          const std::function<bool(const std::string& video)>& hasVideo);

// The line the settings dialog shows under its logo while movies cannot play.
inline constexpr const char* kNoFlashNote = "Movies need the Shockwave Flash control, which this Windows lacks.";

} // namespace lumo::player
