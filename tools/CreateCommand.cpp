// lumo-tool create: the Creator's build without a window, for scripts and CI.
#include "CommandLine.h"

#include "common/PathRules.h"
#include "common/Text.h"
#include "creator/core/ProjectBuild.h"
#include "formats/FileStorage.h"
#include "formats/SwfHeader.h"
#include "platform/Host.h"

#include "creator/core/RecorderProgram.h"

#include <algorithm>
#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <optional>

namespace lumo::tool {

namespace {

constexpr const char* kUsage
    = "lumo-tool create -o OUT.exe [--mode play|round|oneb] [--interval MIN] [--logo FILE] [--licence FILE] "
      "[--icon FILE.ico] [--title TEXT] [--text TEXT] [--width W] [--height H] [--no-mute-control] [--no-text] "
      "[--keep-going] [--video auto|never] [--video-seconds N] [--player-storage FILE] MOVIE...";

constexpr const char* kHelp = R"(
Builds a self-installing Windows screensaver that plays the MOVIEs: Flash movies (.swf), pictures
(.png, .jpg, .jpeg, .bmp, .gif) or web addresses, which are fetched now and packed as files.

  -o OUT.exe              the screensaver to write (required); started, it installs itself
  --mode MODE             how the movies follow each other (default play):
                            play   only the first movie plays
                            round  another movie at random after each interval
                            oneb   the movies one after another, one each interval
  --interval MIN          minutes between movies, 1 to 200 (default 5)
  --logo FILE             the logo of the installer and the settings window, a movie or a picture
                          (default none)
  --licence FILE          a text the installer shows for agreement first (default none)
  --icon FILE.ico         the program's icon (default the player's own)
  --title TEXT            the settings window's caption (default "Your title")
  --text TEXT             the settings window's text (default "Your text here")
  --width W, --height H   the settings window's size, 100 to 4000 pixels (default 470 x 400)
  --no-mute-control       no "Mute" box in the settings window (default: there is one)
  --no-text               no text in the settings window (default: the text shows)
  --keep-going            leave out, with a warning, a movie that is missing, is no movie or cannot be
                          fetched (default: that is an error and nothing is written)
  --video auto|never      auto (the default): a video of each Flash movie and of a Flash logo goes
                          beside it, which the screensaver plays on a Windows without the Flash
                          control; a movie that cannot be recorded is packed without one and listed.
                          Recording takes up to the movie's own length; it needs ffmpeg, no display
  --video-seconds N       the video's length for a movie that is scripted (one frame) or whose
                          timeline is longer, 1 to 600 seconds (default 30)
  --player-storage FILE   the player program's container (default share/lumo-screensaver/files.sfp
                          beside the tool)

Texts that go into the screensaver must fit Windows-1252. Progress goes to stderr; renamed files and
files left out are listed there too.
)";

// The storage container with the player program, laid out beside lumo-tool when it is built or
// installed: <prefix>/share/lumo-screensaver/files.sfp.
std::string defaultPlayerStorage()
{
    const std::string bin = platform::programFolder(platform::hostEnvironment());
    return joinHostPath(joinHostPath(joinHostPath(bin, ".."), "share/lumo-screensaver"), "files.sfp");
}

// Ctrl+C or a termination request: the build stops at its next step and writes nothing. The
// recorder runs in a process group of its own, which the terminal's Ctrl+C does not reach.
volatile std::sig_atomic_t g_interrupted = 0;

void interrupt(int)
{
    g_interrupted = 1;
}

// An option whose value is a whole number in min..max, stored into `into`; what it wants otherwise.
std::function<std::optional<std::string>(const std::string&)> inRange(int& into, int min, int max, const char* unit)
{
    return [&into, min, max, unit](const std::string& text) -> std::optional<std::string> {
        const std::optional<int> n = parseInteger(text);
        if (!n || *n < min || *n > max)
            return "a whole number of " + std::string(unit) + " from " + std::to_string(min) + " to "
                + std::to_string(max);
        into = *n;
        return std::nullopt;
    };
}

// Why a movie given on the command line cannot go into a screensaver, or nothing.
std::optional<std::string> movieProblem(platform::FileSystem& files, const std::string& movie)
{
    if (movie.find("://") != std::string::npos)
        return std::nullopt; // fetched by the build, which says when it cannot
    const std::string shown = "\"" + escapedForDisplay(movie) + "\"";
    if (files.isFolder(movie))
        return shown + " is a folder; name the movies in it";
    Result<std::unique_ptr<platform::InputFile>> in = files.openForReading(movie);
    if (!in)
        return files.exists(movie) ? in.message() : shown + ": there is no such file";
    char head[3] = {};
    Result<size_t> n = (*in)->read(head, sizeof head);
    if (n && formats::hasSwfSignature(std::string_view(head, *n)))
        return std::nullopt;
    std::string extension = extensionOf(movie, PathSyntax::Host);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* picture : {".png", ".jpg", ".jpeg", ".bmp", ".gif"})
        if (extension == picture)
            return std::nullopt;
    return shown + " is neither a Flash movie (it does not start with FWS, CWS or ZWS) nor a picture";
}

} // namespace

int createCommand(const Args& args)
{
    if (wantsHelp(args)) {
        std::cout << "usage: " << kUsage << "\n" << kHelp;
        return 0;
    }
    creator::BuildRequest request;
    request.strict = true;
    creator::ProjectSettings& s = request.settings;
    std::string storagePath = defaultPlayerStorage();
    bool keepGoing = false;
    const std::map<std::string, std::function<std::optional<std::string>(const std::string&)>> withValue{
        {"-o", [&](const std::string& v) { return request.projectPath = v, std::optional<std::string>(); }},
        {"--mode",
         [&](const std::string& v) -> std::optional<std::string> {
             const std::map<std::string, creator::PlayMode> modes{{"play", creator::PlayMode::Play},
                                                                  {"round", creator::PlayMode::Round},
                                                                  {"oneb", creator::PlayMode::OneByOne}};
             if (!modes.count(v))
                 return "play, round or oneb";
             s.mode = modes.at(v);
             return std::nullopt;
         }},
        {"--interval", inRange(s.interval, creator::kIntervalMin, creator::kIntervalMax, "minutes")},
        {"--width", inRange(s.width, creator::kDialogSizeMin, creator::kDialogSizeMax, "pixels")},
        {"--height", inRange(s.height, creator::kDialogSizeMin, creator::kDialogSizeMax, "pixels")},
        {"--logo", [&](const std::string& v) { return request.logo = v, std::optional<std::string>(); }},
        {"--licence", [&](const std::string& v) { return request.licenceFile = v, std::optional<std::string>(); }},
        {"--icon", [&](const std::string& v) { return request.iconFile = v, std::optional<std::string>(); }},
        {"--title", [&](const std::string& v) { return s.title = v, std::optional<std::string>(); }},
        {"--text", [&](const std::string& v) { return s.text = v, std::optional<std::string>(); }},
        {"--player-storage", [&](const std::string& v) { return storagePath = v, std::optional<std::string>(); }},
        {"--video",
         [&](const std::string& v) -> std::optional<std::string> {
             if (v != "auto" && v != "never")
                 return "auto or never";
             request.videos = v == "auto";
             return std::nullopt;
         }},
        {"--video-seconds", inRange(request.videoSeconds, 1, creator::kMaxVideoSeconds, "seconds")},
    };
    std::vector<std::string> movies;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--no-mute-control" || a == "--no-text") {
            (a == "--no-text" ? s.showText : s.showMute) = false;
        } else if (a == "--keep-going") {
            keepGoing = true;
        } else if (const auto option = withValue.find(a); option != withValue.end()) {
            if (i + 1 >= args.size())
                return fail(a + " needs a value (lumo-tool create --help)");
            const std::string& value = args[++i];
            if (const std::optional<std::string> wanted = option->second(value))
                return fail("\"" + escapedForDisplay(value) + "\" is no value for " + a + ": give " + *wanted);
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option " + escapedForDisplay(a) + " (lumo-tool create --help)");
        } else {
            movies.push_back(a);
        }
    }
    if (request.projectPath.empty())
        return fail("name the screensaver to write with -o OUT.exe (lumo-tool create --help)");
    if (movies.empty())
        return fail("name at least one movie to play (lumo-tool create --help)");

    platform::FileSystem& files = platform::hostFileSystem();
    for (const std::string& movie : movies) {
        if (const std::optional<std::string> problem = movieProblem(files, movie)) {
            if (!keepGoing)
                return fail(*problem);
            std::cerr << "lumo-tool: left out: " << *problem << "\n";
            continue;
        }
        request.items.push_back({movie, true});
    }
    request.strict = !keepGoing;

    Result<std::string> carried = files.readFile(storagePath);
    if (!carried)
        return fail("the player program is not at hand: " + carried.message());
    formats::FileStorage storage({files, platform::hostEnvironment(), platform::hostRegistry()});
    if (Status read = storage.ReadData(*carried, storagePath); !read)
        return fail(read.message());

    creator::RecorderProgram recorder(
        platform::hostProcessLauncher(),
        creator::recorderBeside(files, platform::programFolder(platform::hostEnvironment())));
    creator::BuildServices services{files, platform::hostEnvironment(), storage, &platform::hostWebClient(), &recorder};
    ProgressLine progress;
    std::string current;
    creator::BuildEvents events;
    events.status = [&](const std::string& text) {
        current = text;
        progress.show(text, 0, 0);
    };
    events.archiveProgress
        = [&](std::int32_t position, std::int32_t total) { progress.show(current, position, total); };
    events.recordingStarted = [&](const std::string& movie, size_t index, size_t count) {
        if (!progress.enabled()) // a log gets a line a movie; a terminal sees the progress line
            std::cerr << "lumo-tool: recording a video of " << escapedForDisplay(movie) << " (" << index + 1 << " of "
                      << count << ")\n";
    };
    events.cancelled = [] { return g_interrupted != 0; };
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    Result<creator::BuildReport> built = creator::buildProject(services, request, events);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (!built)
        return fail(built.message());
    for (const std::string& missed : built->notRecorded)
        std::cerr << "lumo-tool: without a video: " << escapedForDisplay(missed) << "\n";
    for (const std::string& renamed : built->renamed)
        std::cerr << "lumo-tool: renamed for Windows: " << escapedForDisplay(renamed) << "\n";
    for (const std::string& missed : built->notCopied)
        std::cerr << "lumo-tool: not in the screensaver: " << escapedForDisplay(missed) << "\n";
    return 0;
}

} // namespace lumo::tool
