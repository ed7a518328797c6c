#include "StandIn.h"

#include "WorkFolder.h"

#include "common/PathRules.h"
#include "common/Text.h"

namespace lumo::player {

bool isPicture(std::string_view location)
{
    const size_t dot = location.find_last_of(".\\/:");
    if (dot == std::string_view::npos || location[dot] != '.')
        return false;
    const std::string extension = upperAscii(location.substr(dot));
    return extension == ".BMP" || extension == ".JPG" || extension == ".JPEG" || extension == ".PNG"
        || extension == ".GIF";
}

bool anyMovieWithoutVideo(const std::vector<std::string>& playList,
                          const std::function<bool(const std::string& video)>& hasVideo)
{
    for (const std::string& entry : playList) {
        if (isPicture(entry))
            continue;
        const std::string video = videoPathOf(entry);
        if (video.empty() || !hasVideo(video))
            return true;
    }
    return false;
}

StandIn standInOf(const ParamLines& lines, const std::string& workFolder)
{
    StandIn standIn;
    if (const Result<std::string> logo = lines.text(3); logo && !logo->empty())
        standIn.logo = inWorkFolder(workFolder, *logo);
    if (const Result<std::string> project = lines.text(4); project)
        standIn.title = TextBefore('.', *project);
    return standIn;
}

} // namespace lumo::player
