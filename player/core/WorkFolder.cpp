#include "WorkFolder.h"

#include "common/Codepage.h"
#include "common/ListFile.h"
#include "common/PathRules.h"
#include "common/TempFolder.h"

namespace lumo::player {

std::string programFileName(const platform::Environment& environment)
{
    return fileNameOf(environment.programPath(), PathSyntax::Host);
}

std::string workFolder(const platform::Environment& environment)
{
    return joinHostPath(temporaryFolder(environment), programFileName(environment));
}

std::string inWorkFolder(const std::string& folder, const std::string& name)
{
    if (!name.empty() && (name.front() == '\\' || name.front() == '/'))
        return folder + name;
    return joinHostPath(folder, name);
}

Status unpackProject(platform::FileSystem& files, platform::ProgramResources& resources, const std::string& folder,
                     formats::ZlibMultiple& lib)
{
    Result<std::string_view> archive = resources.rawData("FILELIST");
    if (!archive)
        return archive.error();
    files.createFolder(folder);
    const std::string archivePath = inWorkFolder(folder, "files.lis");
    Result<std::unique_ptr<platform::OutputFile>> out = files.replaceFile(archivePath);
    if (!out)
        return out.error();
    if (Status written = (*out)->write(*archive); !written)
        return written;
    if (Status closed = (*out)->close(); !closed)
        return closed;
    return lib.DecompressFile(archivePath, folder, true, true);
}

Result<ParamLines> readParameterFile(platform::FileSystem& files, const std::string& folder,
                                     const std::function<void()>& onWrongMarker)
{
    Result<std::string> bytes = files.readFile(inWorkFolder(folder, "param.lis"));
    if (!bytes)
        return bytes.error();
    // The Creator writes Windows-1252; the program works in UTF-8.
    const ParamLines raw = readParamLines(*bytes, onWrongMarker);
    std::vector<std::string> lines;
    for (int i = 1; i <= static_cast<int>(raw.count()); ++i)
        lines.push_back(cp1252ToUtf8(*raw.text(i)));
    return ParamLines(std::move(lines));
}

std::vector<std::string> parsePlayList(std::string_view bytes)
{
    std::vector<std::string> entries = splitListLines(bytes);
    for (std::string& entry : entries)
        entry = cp1252ToUtf8(entry);
    return entries;
}

Result<std::vector<std::string>> readPlayList(platform::FileSystem& files, const std::string& folder)
{
    Result<std::string> bytes = files.readFile(inWorkFolder(folder, "playl.lis"));
    if (!bytes)
        return bytes.error();
    return parsePlayList(*bytes);
}

} // namespace lumo::player
