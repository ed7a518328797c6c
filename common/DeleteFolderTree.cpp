#include "DeleteFolderTree.h"

#include "platform/Host.h"

namespace lumo {

bool DeleteFolderTree(platform::FileSystem& files, const std::string& path, bool clearAttributes, bool stopOnError,
                      bool removeRoot)
{
    // A trailing separator would make the check resolve a link named by the path.
    std::string root = path;
    while (root.size() > 1 && (root.back() == platform::kHostSeparator || root.back() == '/'))
        root.pop_back();
    if (!files.isFolder(root))
        return false;
    bool result = true;
    const std::string folder = root.back() == platform::kHostSeparator ? root : root + platform::kHostSeparator;

    // An unlistable folder has no entries to handle; its removal below then fails.
    const auto entries = files.list(folder);
    for (const platform::FolderEntry& entry : entries.value_or(std::vector<platform::FolderEntry>{})) {
        const std::string child = folder + entry.name;
        if (entry.isFolder) {
            if (clearAttributes)
                files.clearAttributes(child);
            result = DeleteFolderTree(files, child, clearAttributes, stopOnError, true);
        } else {
            if (clearAttributes && !entry.isLink)
                files.clearAttributes(child);
            result = files.removeFile(child);
        }
        if (stopOnError && !result)
            return false;
    }
    if (result && removeRoot)
        result = files.removeEmptyFolder(root);
    return result;
}

} // namespace lumo
