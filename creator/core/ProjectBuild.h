// The build of a screensaver from the Creator's settings, without a window: stage the ticked movies
// (web movies fetched), the logo, the licence, playl.lis and param.lis in a private folder of its
// own under the temporary folder, record a video of each Flash movie beside it, pack them into file.lis, take the
// player program out of the storage container (stored file 0, the archive "tmp.z" holding "tmp.exe"), add file.lis to
// it as the RCDATA resource "FILELIST", replace its main icon when an icon file is given, write it to the project path,
// and remove the private folder. Staged names are names Windows takes; playl.lis lists only what was staged, so the
// player can load every entry. The wizard and `lumo-tool create` both run it; they follow it through the events.
#pragma once

#include "MovieVideo.h"
#include "ProjectParams.h"

#include "formats/FileStorage.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/WebClient.h"

#include <functional>
#include <string>
#include <vector>

namespace lumo::creator {

struct BuildItem {
    std::string text; // a path or a web address, as listed
    bool ticked = true;
};

struct BuildRequest {
    std::vector<BuildItem> items;
    ProjectSettings settings;
    std::string logo; // the logo view's location; empty for none
    std::string projectPath; // the executable to write
    std::string iconFile = "Your icon";
    std::string licenceFile = "License";
    // An item that cannot be staged (missing, no file, a fetch that failed) stops the build instead
    // of being left out and reported.
    bool strict = false;
    // A video of each Flash movie (the logo's too) beside it, for a Windows without the Flash
    // control, when the services have a recorder; videoSeconds for scripted and long movies.
    bool videos = true;
    int videoSeconds = kDefaultVideoSeconds;
};

struct BuildEvents {
    std::function<void(const std::string& text)> status;
    std::function<void(int position)> barPosition;
    // Each archive event: the bar's range becomes 0..total and its position position.
    std::function<void(std::int32_t position, std::int32_t total)> archiveProgress;
    std::function<void()> processEvents;
    // A movie's video begins to record (index counts from 0); its progress comes as archive events
    // in milliseconds.
    std::function<void(const std::string& movie, size_t index, size_t count)> recordingStarted;
    // Asked between steps and while movies record: true stops the build, which then writes nothing.
    std::function<bool()> cancelled;
};

// What a completed build could not bring into the product as asked: the build goes on without
// these, but the user is told.
struct BuildReport {
    std::vector<std::string> notCopied; // "<file>: <reason>"
    std::vector<std::string> renamed; // "<name>: staged as <name Windows takes>"
    std::vector<std::string> notRecorded; // "<movie>: <reason>": packed without a video
};

struct BuildServices {
    platform::FileSystem& files;
    platform::Environment& environment;
    formats::FileStorage& playerStorage;
    platform::WebClient* web = nullptr; // none: web movies cannot be packed
    MovieRecorder* recorder = nullptr; // none: no videos
};

// The screensaver stands at the project path when this returns a report; an error says which step
// stopped and which file, and nothing was written there.
Result<BuildReport> buildProject(BuildServices& services, const BuildRequest& request, const BuildEvents& events);

// The file name of a playlist item or logo location: a web address by the Windows rule (after the
// last backslash or colon), a host path by the host's.
std::string itemFileName(const std::string& location);
std::string locationExtension(const std::string& location);

} // namespace lumo::creator
