// lumo-tool create: the Creator's build without a window, for scripts and CI.
#include "CommandLine.h"

#include "common/PathRules.h"
#include "creator/core/ProjectBuild.h"
#include "formats/FileStorage.h"
#include "platform/Host.h"

#include <iostream>
#include <optional>

namespace lumo::tool {

namespace {

constexpr const char* kUsage
    = "lumo-tool create -o OUT.exe [--mode play|round|oneb] [--interval MIN] [--logo FILE] [--licence FILE] "
      "[--icon FILE.ico] [--title TEXT] [--text TEXT] [--width W] [--height H] [--no-mute-control] [--no-text] "
      "[--player-storage FILE] MOVIE...";

// The storage container with the player program, laid out beside lumo-tool when it is built or
// installed: <prefix>/share/lumo-screensaver/files.sfp.
std::string defaultPlayerStorage()
{
    const std::string program = platform::hostEnvironment().programPath();
    const size_t slash = program.rfind(platform::kHostSeparator);
    const std::string bin = slash == std::string::npos ? std::string(".") : program.substr(0, slash);
    return joinHostPath(joinHostPath(joinHostPath(bin, ".."), "share/lumo-screensaver"), "files.sfp");
}

} // namespace

int createCommand(const Args& args)
{
    if (wantsHelp(args)) {
        std::cout << "usage: " << kUsage
                  << "\nBuilds a self-installing Windows screensaver playing the MOVIEs (files or web addresses).\n"
                     "Progress goes to stderr; files that could not be added are listed there too.\n";
        return 0;
    }
    static const std::vector<std::string> withValue{"-o",        "--mode",   "--interval",      "--logo",
                                                    "--licence", "--icon",   "--title",         "--text",
                                                    "--width",   "--height", "--player-storage"};
    static const std::vector<std::string> flags{"--no-mute-control", "--no-text"};
    creator::BuildRequest request;
    creator::ProjectSettings& s = request.settings;
    std::string storagePath = defaultPlayerStorage();
    const auto number = [](const std::string& text, int& into) {
        try {
            size_t used = 0;
            into = std::stoi(text, &used);
            return used == text.size();
        } catch (...) {
            return false;
        }
    };
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            (a == "--no-text" ? s.showText : s.showMute) = false;
            continue;
        }
        if (std::find(withValue.begin(), withValue.end(), a) != withValue.end()) {
            if (i + 1 >= args.size())
                return usage(kUsage);
            const std::string& v = args[++i];
            bool ok = true;
            if (a == "-o")
                request.projectPath = v;
            else if (a == "--mode") {
                ok = v == "play" || v == "round" || v == "oneb";
                s.mode = v == "round" ? creator::PlayMode::Round
                    : v == "oneb"     ? creator::PlayMode::OneByOne
                                      : creator::PlayMode::Play;
            } else if (a == "--interval")
                ok = number(v, s.interval) && s.interval >= 1 && s.interval <= 200;
            else if (a == "--width")
                ok = number(v, s.width);
            else if (a == "--height")
                ok = number(v, s.height);
            else if (a == "--logo")
                request.logo = v;
            else if (a == "--licence")
                request.licenceFile = v;
            else if (a == "--icon")
                request.iconFile = v;
            else if (a == "--title")
                s.title = v;
            else if (a == "--text")
                s.text = v;
            else
                storagePath = v;
            if (!ok)
                return fail("\"" + v + "\" is no value for " + a);
            continue;
        }
        if (a.rfind("--", 0) == 0)
            return usage(kUsage);
        request.items.push_back({a, true});
    }
    if (request.projectPath.empty() || request.items.empty())
        return usage(kUsage);

    platform::FileSystem& files = platform::hostFileSystem();
    Result<std::string> carried = files.readFile(storagePath);
    if (!carried)
        return fail("the player program is not at hand: " + carried.message());
    formats::FileStorage storage({files, platform::hostEnvironment(), platform::hostRegistry()});
    if (Status read = storage.ReadData(*carried, storagePath); !read)
        return fail(read.message());

    creator::BuildServices services{files, platform::hostEnvironment(), storage};
    ProgressLine progress;
    std::string current;
    creator::BuildEvents events;
    events.status = [&](const std::string& text) {
        current = text;
        progress.show(text, 0, 0);
    };
    events.archiveProgress
        = [&](std::int32_t position, std::int32_t total) { progress.show(current, position, total); };
    Result<creator::BuildReport> built = creator::buildProject(services, request, events);
    if (!built)
        return fail(built.message());
    if (!built->productWritten)
        return fail(built->notCopied.back());
    for (const std::string& missed : built->notCopied)
        std::cerr << "lumo-tool: not in the screensaver: " << missed << "\n";
    return 0;
}

} // namespace lumo::tool
