// Where the list files live on a Linux desktop. The editor only reads "Path"; on Windows an installer
// writes it. Here the first start plays that installer: when the settings key does not exist yet,
// "Path" is set to the user's data folder for Lumo ScreenSaver, and that folder is created.
#pragma once

#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <string>

namespace lumo::app {

// $XDG_DATA_HOME (or ~/.local/share)/lumo-screensaver
std::string defaultListFolder(const platform::Environment& environment);

// Seeds "Path" when the key is new; creates the folder "Path" names when it is the default one.
Status seedListFolder(platform::Registry& registry, platform::FileSystem& files, const std::string& folder);

// Creates the folder and every missing parent; true when it exists afterwards.
bool createFolders(platform::FileSystem& files, const std::string& folder);

} // namespace lumo::app
