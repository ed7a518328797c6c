#include "ListFolderSeed.h"

#include "SettingsStore.h"

namespace lumo::app {

std::string defaultListFolder(const platform::Environment& environment)
{
    return platform::xdgBaseFolder(environment, "XDG_DATA_HOME", ".local/share") + "/lumo-screensaver";
}

bool createFolders(platform::FileSystem& files, const std::string& folder)
{
    if (folder.empty() || files.isFolder(folder))
        return !folder.empty();
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !createFolders(files, folder.substr(0, slash)))
        return false;
    return files.createFolder(folder);
}

Status seedListFolder(platform::Registry& registry, platform::FileSystem& files, const std::string& folder)
{
    // A settings file that cannot be read is set aside by the first look into it and reported by
    // the first call that can report: said here, and the seeding goes on with the defaults.
    Status problem;
    if (!registry.keyExists(kSettingsKey)) {
        Status written = registry.writeString(kSettingsKey, "Path", folder);
        if (!written) {
            problem = written;
            written = registry.writeString(kSettingsKey, "Path", folder);
        }
        if (!written)
            return written;
    }
    Result<std::optional<std::string>> path = registry.readString(kSettingsKey, "Path");
    if (path && *path == folder)
        createFolders(files, folder);
    return problem;
}

} // namespace lumo::app
