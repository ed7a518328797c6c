#include "ProjectBuild.h"

#include "ResourceUpdate.h"

#include "common/Codepage.h"
#include "common/DeleteFolderTree.h"
#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/TempFolder.h"
#include "formats/ZlibArchive.h"
#include "platform/Host.h"

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

// Creates the folder and the missing ones above it.
void createFolders(platform::FileSystem& files, const std::string& folder)
{
    std::string path;
    size_t from = 0;
    while (from <= folder.size()) {
        const size_t slash = folder.find(platform::kHostSeparator, from);
        path = folder.substr(0, slash);
        if (!path.empty())
            files.createFolder(path);
        if (slash == std::string::npos)
            break;
        from = slash + 1;
    }
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

std::string stagingRoot(const platform::Environment& environment)
{
    return joinHostPath(temporaryFolder(environment), "FS");
}

std::string itemFileName(const std::string& location)
{
    return fileNameOf(location, syntaxOf(location));
}

std::string locationExtension(const std::string& location)
{
    return extensionOf(location, syntaxOf(location));
}

Result<BuildReport> buildProject(BuildServices& services, const BuildRequest& request, const BuildEvents& events)
{
    platform::FileSystem& files = services.files;
    const auto status = [&](const std::string& text) {
        if (events.status)
            events.status(text);
    };
    const auto bar = [&](int position) {
        if (events.barPosition)
            events.barPosition(position);
    };
    const auto pump = [&] {
        if (events.processEvents)
            events.processEvents();
    };
    if (request.projectPath.empty())
        return Error{"Please select project name and path to save"};
    BuildReport report;
    const auto missed
        = [&](const std::string& path, const std::string& why) { report.notCopied.push_back(path + ": " + why); };

    const std::string projectFile = fileNameOf(request.projectPath, PathSyntax::Host);
    const std::string staging = joinHostPath(stagingRoot(services.environment), projectFile);
    const std::string logo = request.logo; // 3. the logo view's location

    // 4. The staging folder and its Logo folder.
    bar(10);
    status("Creating directory structure");
    createFolders(files, staging);
    files.createFolder(joinHostPath(staging, "Logo"));

    // 5. The ticked movies, each listed whether or not it could be copied.
    std::vector<std::string> playList;
    for (const BuildItem& item : request.items) {
        if (!item.ticked)
            continue;
        bar(40);
        status("Copying play files " + item.text);
        const std::string name = itemFileName(item.text);
        if (isFile(files, item.text)) {
            if (Status copied = copyFile(files, item.text, joinHostPath(staging, name)); !copied)
                missed(item.text, copied.message());
        } else if (!isWebAddress(item.text)) {
            missed(item.text, "there is no such file");
        }
        Result<std::string> stored = utf8ToCp1252(name);
        if (!stored)
            return Error{"The play list cannot hold \"" + item.text + "\": " + stored.message()};
        playList.push_back(*stored);
    }

    // 6. The logo, when it is a file.
    const std::string logoExtension = locationExtension(logo);
    if (isFile(files, logo)) {
        if (Status copied = copyFile(files, logo, joinHostPath(joinHostPath(staging, "Logo"), "Logos" + logoExtension));
            !copied)
            missed(logo, copied.message());
    } else if (!logo.empty() && !isWebAddress(logo)) {
        missed(logo, "there is no such file");
    }

    // 7, 8. The settings, scrambled, and the play list.
    std::string text;
    for (const std::string& line : paramLines(request.settings, logoExtension, projectFile)) {
        Result<std::string> stored = utf8ToCp1252(line);
        if (!stored)
            return Error{"The settings cannot hold \"" + line + "\": " + stored.message()};
        text += *stored + "\r\n";
    }
    if (Status written = files.writeFileAtomically(joinHostPath(staging, "playl.lis"), joinListLines(playList));
        !written)
        return stopped("Writing the play list", written.error());
    if (Status written = files.writeFileAtomically(joinHostPath(staging, "param.lis"), ScrambleParams(text) + "\r\n");
        !written)
        return stopped("Writing the settings", written.error());

    // 9. The licence, when its edit names a file.
    if (isFile(files, request.licenceFile)) {
        if (Status copied = copyFile(files, request.licenceFile, joinHostPath(staging, "License.txt")); !copied)
            missed(request.licenceFile, copied.message());
    } else if (!request.licenceFile.empty() && request.licenceFile != "License") {
        missed(request.licenceFile, "there is no such file");
    }

    // 10. The project archive.
    status("Saving settings...");
    formats::ZlibMultiple zlib(files);
    zlib.OnProgress = [&](std::int32_t position, std::int32_t total) {
        pump();
        if (events.archiveProgress)
            events.archiveProgress(position, total);
        pump();
    };
    zlib.OnCompressingFile = [&](const std::string&) { pump(); };
    zlib.OnCompressedFile = [&](const std::string&) { pump(); };
    zlib.OnCompletedAction = pump;
    const std::string archive = joinHostPath(staging, "file.lis");
    if (Status packed = zlib.CompressDirectory(staging, true, archive); !packed)
        return stopped("Packing the project", packed.error());

    // 11, 12. The player program out of its container, under the project's file name.
    const std::string carried = joinHostPath(staging, projectFile + ".z");
    services.playerStorage.ExtractFile(0, carried);
    if (Status unpacked = zlib.DecompressFile(carried, staging, true, true); !unpacked)
        return stopped("Taking out the player program", unpacked.error());
    const std::string product = joinHostPath(staging, projectFile);
    if (!files.exists(product))
        files.renameReplacing(joinHostPath(staging, "tmp.exe"), product);

    // 13 to 15. The archive as the resource "FILELIST"; the icon when its edit names a file.
    bar(82);
    status("Creating project file...");
    pump();
    if (Status added
        = AddFileResource(files, archive, product, formats::ResourceId::id(10), formats::ResourceId::name("FILELIST"));
        !added)
        return stopped("Adding the project to the player program", added.error());
    if (isFile(files, request.iconFile)) {
        if (Status replaced = ReplaceMainIcon(files, product, request.iconFile); !replaced)
            return stopped("Replacing the icon", replaced.error());
    } else if (!request.iconFile.empty() && request.iconFile != "Your icon") {
        missed(request.iconFile, "there is no such file");
    }

    // 16, 17. The product where it was asked for, and the staging tree gone.
    pump();
    if (Status copied = copyFile(files, product, request.projectPath); !copied)
        missed(request.projectPath, copied.message());
    else
        report.productWritten = true;
    pump();
    DeleteFolderTree(files, stagingRoot(services.environment) + platform::kHostSeparator, true, false, true);
    return report;
}

} // namespace lumo::creator
