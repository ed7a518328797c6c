#include "ProjectBuild.h"

#include "ResourceUpdate.h"
#include "StagingNames.h"

#include "common/Codepage.h"
#include "common/DeleteFolderTree.h"
#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/TempFolder.h"
#include "common/Text.h"
#include "formats/SwfHeader.h"
#include "formats/ZlibArchive.h"
#include "platform/Host.h"

#include <algorithm>
#include <cctype>

namespace lumo::creator {

namespace {

bool isWebAddress(const std::string& location)
{
    return location.find("://") != std::string::npos;
}

PathSyntax syntaxOf(const std::string& location)
{
    return isWebAddress(location) ? PathSyntax::Windows : PathSyntax::Host;
}

Error stopped(const std::string& step, const Error& error)
{
    return Error{step + ": " + error.message};
}

// A byte copy that replaces the target; streamed, so a large movie is never held in memory.
Status copyFile(platform::FileSystem& files, const std::string& from, const std::string& to)
{
    Result<std::unique_ptr<platform::InputFile>> in = files.openForReading(from);
    if (!in)
        return in.error();
    Result<std::unique_ptr<platform::OutputFile>> out = files.replaceFile(to);
    if (!out)
        return out.error();
    std::string buffer(1 << 20, '\0');
    for (;;) {
        Result<size_t> n = (*in)->read(buffer.data(), buffer.size());
        if (!n)
            return platform::cannotOpenFile(from, n.message());
        if (*n == 0)
            break;
        if (Status written = (*out)->write(std::string_view(buffer.data(), *n)); !written)
            return written;
    }
    return (*out)->close();
}

bool isFile(platform::FileSystem& files, const std::string& path)
{
    return !path.empty() && files.fileSize(path).has_value();
}

} // namespace

std::string itemFileName(const std::string& location)
{
    return fileNameOf(location, syntaxOf(location));
}

std::string locationExtension(const std::string& location)
{
    return extensionOf(location, syntaxOf(location));
}

namespace {

// The name a web address's file goes by: the last part of its path, %-escapes decoded, without
// the query; "movie.swf" when the path names no file.
std::string webFileName(const std::string& location)
{
    const size_t scheme = location.find("://");
    const size_t pathStart = location.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    if (pathStart == std::string::npos)
        return "movie.swf";
    std::string path = location.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    std::string name = path.substr(path.rfind('/') + 1);
    std::string decoded;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 2 < name.size() && std::isxdigit(static_cast<unsigned char>(name[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(name[i + 2]))) {
            decoded += static_cast<char>(std::stoi(name.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += name[i];
        }
    }
    return decoded.empty() ? "movie.swf" : decoded;
}

constexpr const char* kBuildPrefix = "lumo-build-";

// The steps of one build, with what they share.
class Build {
public:
    Build(BuildServices& services, const BuildRequest& request, const BuildEvents& events)
        : m_services(services)
        , m_files(services.files)
        , m_request(request)
        , m_events(events)
    {
    }
    ~Build()
    {
        // Only what this build made goes, and all of it, whatever the ending.
        if (!m_root.empty())
            DeleteFolderTree(m_files, m_root + platform::kHostSeparator, true, false, true);
    }
    Build(const Build&) = delete;
    Build& operator=(const Build&) = delete;

    Result<BuildReport> run();

private:
    void status(const std::string& text)
    {
        if (m_events.status)
            m_events.status(text);
    }
    void bar(int position)
    {
        if (m_events.barPosition)
            m_events.barPosition(position);
    }
    void pump()
    {
        if (m_events.processEvents)
            m_events.processEvents();
    }
    bool cancelled() const { return m_events.cancelled && m_events.cancelled(); }
    void missed(const std::string& what, const std::string& why) { m_report.notCopied.push_back(what + ": " + why); }
    // Stages a file or a web address at target; false (and the reason reported) when it could not.
    bool stage(const std::string& location, const std::string& target);
    Status fetch(const std::string& location, const std::string& target);
    struct Recording {
        std::string shownName; // as the user knows it
        std::string movie, video; // staged paths
    };
    // The videos of the staged Flash movies; an error only when the build was cancelled.
    Status recordVideos(const std::vector<Recording>& recordings);
    void removeKilledBuilds(const std::string& temp);

    BuildServices& m_services;
    platform::FileSystem& m_files;
    const BuildRequest& m_request;
    const BuildEvents& m_events;
    BuildReport m_report;
    std::string m_root; // the build's private folder
};

void Build::removeKilledBuilds(const std::string& temp)
{
    const auto entries = m_files.list(temp);
    if (!entries)
        return;
    for (const platform::FolderEntry& entry : *entries) {
        const std::optional<unsigned long> id = platform::processIdAfter(entry.name, kBuildPrefix);
        // Only real folders (never a link) of builds whose process is gone.
        if (entry.isFolder && id && *id != m_files.processId() && !m_files.processRuns(*id))
            DeleteFolderTree(m_files, joinHostPath(temp, entry.name) + platform::kHostSeparator, true, false, true);
    }
}

Status Build::fetch(const std::string& location, const std::string& target)
{
    if (!m_services.web)
        return platform::cannotFetch(location, "this program cannot reach the web");
    Result<std::unique_ptr<platform::OutputFile>> out = m_files.replaceFile(target);
    if (!out)
        return out.error();
    status("Fetching " + location);
    const auto progress = [this](std::uint64_t received, std::uint64_t expected) {
        if (m_events.archiveProgress && expected > 0) {
            // The bar counts in the units the archive events use.
            const double scale = expected > 0x7FFFFFFF ? double(0x7FFFFFFF) / double(expected) : 1.0;
            m_events.archiveProgress(static_cast<std::int32_t>(double(std::min(received, expected)) * scale),
                                     static_cast<std::int32_t>(double(expected) * scale));
        }
        pump();
    };
    if (Status fetched = m_services.web->fetch(location, **out, progress); !fetched)
        return fetched;
    return (*out)->close();
}

Status Build::recordVideos(const std::vector<Recording>& recordings)
{
    for (size_t i = 0; i < recordings.size(); ++i) {
        const Recording& recording = recordings[i];
        if (cancelled())
            return Error{kCancelled};
        Result<std::unique_ptr<platform::InputFile>> in = m_files.openForReading(recording.movie);
        std::string first(formats::kSwfHeaderBytes, '\0');
        Result<size_t> n = in ? (*in)->read(first.data(), first.size()) : Result<size_t>(in.error());
        if (!n) {
            m_report.notRecorded.push_back(recording.shownName + ": " + n.message());
            continue;
        }
        first.resize(*n);
        if (!formats::hasSwfSignature(first))
            continue; // a picture, or a web page that is no movie: nothing to record
        Result<formats::SwfHeader> header = formats::readSwfHeader(first);
        if (!header) {
            m_report.notRecorded.push_back(recording.shownName + ": " + header.message());
            continue;
        }
        const RecordingPlan plan = planRecording(*header, m_request.videoSeconds);
        status("Recording a video of " + recording.shownName + " (" + std::to_string(i + 1) + " of "
               + std::to_string(recordings.size()) + ")");
        if (m_events.recordingStarted)
            m_events.recordingStarted(recording.shownName, i, recordings.size());
        const auto total = static_cast<std::int32_t>(plan.seconds * 1000);
        RecordingEvents events;
        events.recorded = [&](double seconds) {
            if (m_events.archiveProgress)
                m_events.archiveProgress(std::min(total, static_cast<std::int32_t>(seconds * 1000)), total);
        };
        events.idle = [this] { pump(); };
        events.cancelled = [this] { return cancelled(); };
        if (Status recorded = m_services.recorder->record(recording.movie, recording.video, plan, events); !recorded) {
            if (recorded.message() == kCancelled)
                return recorded;
            m_report.notRecorded.push_back(recording.shownName + ": " + recorded.message());
            m_files.removeFile(recording.video);
        }
    }
    return {};
}

bool Build::stage(const std::string& location, const std::string& target)
{
    if (isWebAddress(location)) {
        if (Status fetched = fetch(location, target); !fetched) {
            missed(location, fetched.message());
            return false;
        }
        return true;
    }
    if (!isFile(m_files, location)) {
        missed(location, "there is no such file");
        return false;
    }
    if (Status copied = copyFile(m_files, location, target); !copied) {
        missed(location, copied.message());
        return false;
    }
    return true;
}

Result<BuildReport> Build::run()
{
    if (m_request.projectPath.empty())
        return Error{"Please select project name and path to save"};
    const std::string projectFile = fileNameOf(m_request.projectPath, PathSyntax::Host);
    if (windowsFileName(projectFile) != projectFile || projectFile.empty())
        return Error{"\"" + escapedForDisplay(projectFile)
                     + "\" cannot be the name of a Windows program: use letters, "
                       "digits and punctuation other than \\ / : * ? \" < > |"};
    // Windows starts a program by its extension; without ".exe" the product would never install.
    if (upperAscii(extensionOf(projectFile, PathSyntax::Host)) != ".EXE")
        return Error{"The screensaver \"" + escapedForDisplay(m_request.projectPath)
                     + "\" must be a program ending in .exe"};
    if (Result<std::string> stored = utf8ToCp1252(projectFile); !stored)
        return Error{"The screensaver's name \"" + escapedForDisplay(projectFile) + "\": " + stored.message()};

    // 4. A private folder of this build's own: nothing another user placed in the temporary
    // folder can receive the staging, and no other build's files are touched.
    bar(10);
    status("Creating directory structure");
    // Named after this process, so a later build removes what a killed one left.
    const std::string temp = temporaryFolder(m_services.environment);
    removeKilledBuilds(temp);
    Result<std::string> root
        = m_files.createPrivateFolder(temp, kBuildPrefix + std::to_string(m_files.processId()) + "-");
    if (!root)
        return stopped("Creating the staging folder", root.error());
    m_root = *root;
    const std::string staging = joinHostPath(m_root, projectFile);
    const std::string logoFolder = joinHostPath(staging, "Logo");
    if (!m_files.createFolder(staging) || !m_files.createFolder(logoFolder))
        return platform::cannotCreateFile(logoFolder, "the folder could not be made");

    // 5. The ticked movies under names Windows takes; only what was staged is listed.
    StagingNames names;
    for (const char* own : {"Logo", "playl.lis", "param.lis", "License.txt", "file.lis", "tmp.exe"})
        names.reserve(own);
    names.reserve(projectFile);
    names.reserve(projectFile + ".z");
    std::vector<std::string> playList;
    std::vector<Recording> movies; // the staged files; video names are given below
    for (const BuildItem& item : m_request.items) {
        if (!item.ticked)
            continue;
        if (cancelled())
            return Error{kCancelled};
        bar(40);
        status("Copying play files " + item.text);
        const std::string wanted = isWebAddress(item.text) ? webFileName(item.text) : itemFileName(item.text);
        Result<std::string> storable = utf8ToCp1252(wanted);
        if (!storable)
            return Error{"The play list cannot hold \"" + escapedForDisplay(item.text) + "\": " + storable.message()};
        const std::string name = names.nameFor(item.text, wanted);
        if (!stage(item.text, joinHostPath(staging, name))) {
            if (m_request.strict)
                return Error{m_report.notCopied.back()};
            continue;
        }
        if (name != wanted)
            m_report.renamed.push_back(wanted + ": staged as " + name);
        playList.push_back(*utf8ToCp1252(name));
        movies.push_back({item.text, joinHostPath(staging, name), {}});
    }

    // 6. The logo, a file or fetched from the web, under a name Windows takes.
    const std::string logo = m_request.logo; // 3. the logo view's location
    std::string logoExtension
        = isWebAddress(logo) ? extensionOf(webFileName(logo), PathSyntax::Windows) : locationExtension(logo);
    if (!logoExtension.empty())
        logoExtension = windowsFileName(logoExtension);
    const std::string stagedLogo = joinHostPath(logoFolder, "Logos" + logoExtension);
    const bool logoStaged = !logo.empty() && stage(logo, stagedLogo);

    // The videos, each named after its movie, which the player looks for beside it. A name
    // another staged file has already taken is left to that file; the logo has its folder to itself.
    if (m_request.videos && m_services.recorder) {
        std::vector<Recording> recordings;
        for (const Recording& movie : movies) {
            const std::string video = videoPathOf(fileNameOf(movie.movie, PathSyntax::Host));
            if (video.empty())
                continue;
            if (names.nameFor("video of " + movie.movie, video) != video)
                m_report.notRecorded.push_back(movie.shownName + ": another file is named " + video);
            else
                recordings.push_back({movie.shownName, movie.movie, joinHostPath(staging, video)});
        }
        if (logoStaged && !videoPathOf(stagedLogo).empty())
            recordings.push_back({logo, stagedLogo, videoPathOf(stagedLogo)});
        if (Status recorded = recordVideos(recordings); !recorded)
            return recorded.error();
        bar(70);
    }
    if (cancelled())
        return Error{kCancelled};

    // 7, 8. The settings, scrambled, and the play list.
    std::string text;
    for (const std::string& line : paramLines(m_request.settings, logoExtension, projectFile)) {
        Result<std::string> stored = utf8ToCp1252(line);
        if (!stored)
            return Error{"The settings cannot hold \"" + line + "\": " + stored.message()};
        text += *stored + "\r\n";
    }
    if (Status written = m_files.writeFileAtomically(joinHostPath(staging, "playl.lis"), joinListLines(playList));
        !written)
        return stopped("Writing the play list", written.error());
    if (Status written = m_files.writeFileAtomically(joinHostPath(staging, "param.lis"), ScrambleParams(text) + "\r\n");
        !written)
        return stopped("Writing the settings", written.error());

    // 9. The licence, when its edit names a file.
    if (isFile(m_files, m_request.licenceFile)) {
        if (Status copied = copyFile(m_files, m_request.licenceFile, joinHostPath(staging, "License.txt")); !copied)
            missed(m_request.licenceFile, copied.message());
    } else if (!m_request.licenceFile.empty() && m_request.licenceFile != "License") {
        missed(m_request.licenceFile, "there is no such file");
    }

    // 10. The project archive.
    status("Saving settings...");
    formats::ZlibMultiple zlib(m_files);
    zlib.OnProgress = [this](std::int32_t position, std::int32_t total) {
        pump();
        if (m_events.archiveProgress)
            m_events.archiveProgress(position, total);
        pump();
    };
    zlib.OnCompressingFile = [this](const std::string&) { pump(); };
    zlib.OnCompressedFile = [this](const std::string&) { pump(); };
    zlib.OnCompletedAction = [this] { pump(); };
    const std::string archive = joinHostPath(staging, "file.lis");
    if (Status packed = zlib.CompressDirectory(staging, true, archive); !packed)
        return stopped("Packing the project", packed.error());

    // 11, 12. The player program out of its container, under the project's file name.
    const std::string carried = joinHostPath(staging, projectFile + ".z");
    m_services.playerStorage.ExtractFile(0, carried);
    if (Status unpacked = zlib.DecompressFile(carried, staging, true, true); !unpacked)
        return stopped("Taking out the player program", unpacked.error());
    const std::string product = joinHostPath(staging, projectFile);
    if (!m_files.renameReplacing(joinHostPath(staging, "tmp.exe"), product))
        return platform::cannotCreateFile(product, "the player program could not be renamed");

    // 13 to 15. The archive as the resource "FILELIST"; the icon when its edit names a file.
    bar(82);
    status("Creating project file...");
    pump();
    if (Status added = AddFileResource(m_files, archive, product, formats::ResourceId::id(10),
                                       formats::ResourceId::name("FILELIST"));
        !added)
        return stopped("Adding the project to the player program", added.error());
    if (isFile(m_files, m_request.iconFile)) {
        if (Status replaced = ReplaceMainIcon(m_files, product, m_request.iconFile); !replaced)
            return stopped("Replacing the icon", replaced.error());
    } else if (!m_request.iconFile.empty() && m_request.iconFile != "Your icon") {
        missed(m_request.iconFile, "there is no such file");
    }

    // 16, 17. The product where it was asked for; the private folder goes with this build.
    pump();
    if (Status copied = copyFile(m_files, product, m_request.projectPath); !copied)
        return stopped("Writing the screensaver", copied.error());
    pump();
    return m_report;
}

} // namespace

Result<BuildReport> buildProject(BuildServices& services, const BuildRequest& request, const BuildEvents& events)
{
    Build build(services, request, events);
    return build.run();
}

} // namespace lumo::creator
