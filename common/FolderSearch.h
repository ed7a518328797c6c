// The search for Flash movies in a folder tree: every file whose name matches "*.swf" without regard
// to case (hidden ones included), depth first, each folder's matching files in the order the file
// system lists them and then its sub-folders in that same order. A folder that cannot be listed is
// skipped. A sub-folder that is both hidden and system (Windows attributes) is not searched, and a
// link is never followed into, so the search always ends.
#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <string>

namespace lumo {

struct FolderSearchEvents {
    std::function<void(const std::string& folder)> beginScanDir;
    // Before each entry is looked at; false aborts the search.
    std::function<bool()> progress;
    std::function<void(const std::string& path)> findFile;
};

// True when the search ran to its end, false when progress aborted it.
bool searchFlashFiles(platform::FileSystem& files, const std::string& folder, const FolderSearchEvents& events);

// "*.swf", compared without regard to case.
bool isFlashFileName(const std::string& name);

} // namespace lumo
