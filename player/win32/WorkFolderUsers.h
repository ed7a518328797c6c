// The instances of one screensaver program share its work folder (%TEMP%\<file name>): a screensaver
// may run while the display settings open its dialog or preview. Each instance counts itself in a
// semaphore named for the program while it runs; the folder is removed only by an instance that
// finds no other counted. The count dies with the last handle, so a crashed instance holds no
// folder past the end of the others.
#pragma once

#include <windows.h>

#include <string>

namespace lumo::player {

class WorkFolderUsers {
public:
    explicit WorkFolderUsers(const std::string& programFileName);
    ~WorkFolderUsers();
    WorkFolderUsers(const WorkFolderUsers&) = delete;
    WorkFolderUsers& operator=(const WorkFolderUsers&) = delete;

    // Another instance of this program still runs.
    bool othersUseIt() const;
    // This instance no longer counts.
    void leave();

private:
    HANDLE m_count = nullptr;
    bool m_counted = false;
};

} // namespace lumo::player
