#include "../Host.h"

#include "Win32FileSystem.h"
#include "Win32Services.h"

namespace lumo::platform {

FileSystem& hostFileSystem()
{
    static Win32FileSystem instance;
    return instance;
}

Environment& hostEnvironment()
{
    static Win32Environment instance;
    return instance;
}

Registry& hostRegistry()
{
    static Win32Registry instance;
    return instance;
}

WindowPresence& hostWindowPresence()
{
    static Win32Presence instance;
    return instance;
}

Shell& hostShell()
{
    static Win32Shell instance;
    return instance;
}

WaveOut& hostWaveOut()
{
    static Win32WaveOut instance;
    return instance;
}

ProgramResources& hostProgramResources()
{
    static Win32ProgramResources instance;
    return instance;
}

} // namespace lumo::platform
