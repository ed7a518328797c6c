// Archive member names between the host and the archive. Stored names are Windows-1252 with "\"
// between folders; host names are UTF-8 with the host's separator. Unpacking accepts only names
// that stay inside the destination: no absolute path, drive, UNC or "\\?\" prefix, no ".." in any
// position ("\" and "/" alike), no name Windows refuses (characters it forbids, control characters,
// a trailing dot or space, device names). Packing refuses the same names, so what it packs unpacks.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <memory>
#include <string>

namespace lumo::formats {

struct StoredName {
    std::string folder; // Windows-1252, "\"-terminated when not empty
    std::string name;
};

struct HostMember {
    std::string folder; // host form, separator-terminated when not empty
    std::string name;
};

// relativeFolder in host form; fails naming the file when a name does not fit the record.
Result<StoredName> storedNameOf(const std::string& relativeFolder, const std::string& name,
                                const std::string& fullPath);

Result<HostMember> hostMemberOf(const std::string& storedFolder, const std::string& storedName,
                                const std::string& sourceName);

// The folder of a member, opened from the destination (made with its parents when missing) one level
// at a time, each made when missing; refuses to pass through a link.
Result<std::unique_ptr<platform::FolderHandle>> openMemberFolder(platform::FileSystem& files,
                                                                const std::string& destination,
                                                                const std::string& folder, const std::string& memberName,
                                                                const std::string& sourceName);

} // namespace lumo::formats
