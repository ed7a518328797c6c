#include "MemberPath.h"

#include "common/Codepage.h"
#include "common/Text.h"
#include "common/WindowsNames.h"
#include "platform/Host.h"

#include <algorithm>
#include <vector>

namespace lumo::formats {

namespace {

constexpr char kSep = platform::kHostSeparator;
constexpr size_t kMaxField = 255;

std::vector<std::string> components(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// Why a path element cannot stand in a Windows path, or empty when it can. An empty element or
// "." in a folder is no name and stays out of the host path.
std::string badElement(const std::string& element)
{
    if (element == "..")
        return "it climbs out of the destination with \"..\"";
    if (element.empty() || element == ".")
        return {};
    return whyNotWindowsName(element);
}

Error refused(const std::string& member, const std::string& sourceName, const std::string& why)
{
    return {"The member \"" + member + "\" of " + sourceName + " is refused: " + why + "; nothing of it was written"};
}

} // namespace

Result<StoredName> storedNameOf(const std::string& relativeFolder, const std::string& name, const std::string& fullPath)
{
    std::string folder = relativeFolder;
    std::replace(folder.begin(), folder.end(), kSep, '\\');
    Result<std::string> storedFolder = utf8ToCp1252(folder);
    Result<std::string> storedName = utf8ToCp1252(name);
    if (!storedFolder || !storedName)
        return Error{"\"" + fullPath
                     + "\" cannot be packed: " + (storedFolder ? storedName.message() : storedFolder.message())};
    // What unpacking would refuse is not packed: the archive would not come out again.
    for (const std::string& element : components(folder + "\\" + name))
        if (const std::string why = badElement(element); !why.empty() && element != "..")
            return Error{"\"" + fullPath + "\" cannot be packed: Windows would not take its name (" + why + ")"};
    if (storedFolder->size() > kMaxField || storedName->size() > kMaxField)
        return Error{"\"" + fullPath + "\" cannot be packed: its "
                     + (storedName->size() > kMaxField ? "name" : "folder")
                     + " is longer than the 255 bytes an archive member can hold"};
    return StoredName{*storedFolder, *storedName};
}

Result<HostMember> hostMemberOf(const std::string& storedFolder, const std::string& storedName,
                                const std::string& sourceName)
{
    const std::string folder = cp1252ToUtf8(storedFolder);
    const std::string name = cp1252ToUtf8(storedName);
    const std::string member = escapedForDisplay(folder + name, kShownNameLength);
    if (!folder.empty() && (folder.front() == '\\' || folder.front() == '/'))
        return refused(member, sourceName, "its folder is an absolute path");
    if (name.empty() || name == "." || name == "..")
        return refused(member, sourceName, "it has no file name");
    if (name.find_first_of("\\/") != std::string::npos)
        return refused(member, sourceName, "its name holds a folder separator");
    for (const std::string& element : components(folder)) {
        if (const std::string why = badElement(element); !why.empty())
            return refused(member, sourceName, "its folder is not a plain relative path (" + why + ")");
    }
    if (const std::string why = badElement(name); !why.empty())
        return refused(member, sourceName, why);

    HostMember host;
    for (const std::string& element : components(folder))
        if (!element.empty() && element != ".")
            host.folder += element + kSep;
    host.name = name;
    return host;
}

Result<std::unique_ptr<platform::FolderHandle>> openMemberFolder(platform::FileSystem& files,
                                                                const std::string& destination,
                                                                const std::string& folder, const std::string& memberName,
                                                                const std::string& sourceName)
{
    size_t end = destination.size();
    while (end > 1 && (destination[end - 1] == kSep || destination[end - 1] == '/'))
        --end;
    const std::string root = end == 0 ? std::string(".") : destination.substr(0, end);
    // The destination itself is created with its parents, as given: from the nearest folder that
    // exists, so a folder that cannot be made is reported with the system's reason.
    std::string existing = root;
    std::vector<std::string> missing;
    while (!files.exists(existing)) {
        const size_t cut = existing.find_last_of(kSep);
        if (cut == std::string::npos || cut == 0) {
            missing.insert(missing.begin(), cut == 0 ? existing.substr(1) : existing);
            existing = cut == 0 ? std::string(1, kSep) : std::string(".");
            break;
        }
        missing.insert(missing.begin(), existing.substr(cut + 1));
        existing.resize(cut > 0 && existing[cut - 1] == ':' ? cut + 1 : cut); // "C:\" stays a root
    }
    Result<std::unique_ptr<platform::FolderHandle>> at = files.openFolder(existing);
    if (!at)
        return at.error();
    for (const std::string& element : missing) {
        Result<std::unique_ptr<platform::FolderHandle>> next = (*at)->openFolder(element);
        if (!next)
            return next.error();
        at = std::move(next);
    }
    // Each folder below is opened from the one above: a link put in the way, before or during the
    // unpacking, is refused and never followed.
    for (const std::string& element : components(folder)) {
        if (element.empty() || element == ".")
            continue;
        Result<std::unique_ptr<platform::FolderHandle>> next = (*at)->openFolder(element);
        if (!next)
            return next.message().find("is a link, not a folder") != std::string::npos
                ? refused(memberName, sourceName, next.message())
                : next.error();
        at = std::move(next);
    }
    return at;
}

} // namespace lumo::formats
