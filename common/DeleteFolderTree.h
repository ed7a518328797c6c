// Recursive folder removal. The result reflects the entry handled last, not all of them: a failure
// followed by a success still gives true, until removing a folder that is not empty makes it false.
// A link (or a Windows junction) is removed itself; what it points to is never touched.
#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace lumo {

bool DeleteFolderTree(platform::FileSystem& files, const std::string& path, bool clearAttributes, bool stopOnError,
                      bool removeRoot);

} // namespace lumo
