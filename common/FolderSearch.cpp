#include "FolderSearch.h"

#include "common/PathRules.h"

#include <vector>

namespace lumo {

bool isFlashFileName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const char* tail = name.data() + name.size() - 4;
    return tail[0] == '.' && lower(tail[1]) == 's' && lower(tail[2]) == 'w' && lower(tail[3]) == 'f';
}

bool searchFlashFiles(platform::FileSystem& files, const std::string& root, const FolderSearchEvents& events)
{
    // An explicit stack rather than recursion: a deep tree cannot exhaust the call stack.
    struct Pending {
        std::string folder;
        std::vector<std::string> subFolders; // still to search, in listing order
        size_t next = 0;
    };
    std::vector<Pending> stack;
    const auto open = [&](const std::string& folder) -> bool {
        if (events.beginScanDir)
            events.beginScanDir(folder);
        Pending pending{folder, {}, 0};
        const std::optional<std::vector<platform::FolderEntry>> entries = files.list(folder);
        for (const platform::FolderEntry& entry : entries.value_or(std::vector<platform::FolderEntry>{})) {
            if (events.progress && !events.progress())
                return false;
            if (entry.isFolder) {
                if (!entry.hiddenAndSystem)
                    pending.subFolders.push_back(joinHostPath(folder, entry.name));
            } else if (isFlashFileName(entry.name) && events.findFile) {
                events.findFile(joinHostPath(folder, entry.name));
            }
        }
        stack.push_back(std::move(pending));
        return true;
    };
    if (!open(root))
        return false;
    while (!stack.empty()) {
        Pending& top = stack.back();
        if (top.next == top.subFolders.size()) {
            stack.pop_back();
            continue;
        }
        const std::string folder = top.subFolders[top.next++];
        if (!open(folder))
            return false;
    }
    return true;
}

} // namespace lumo
