#include "../Host.h"

#include "CurlWebClient.h"
#include "HiveRegistry.h"
#include "LockPresence.h"
#include "PosixEnvironment.h"
#include "PosixFileSystem.h"
#include "PosixProcessLauncher.h"
#include "ViewVolume.h"
#include "XdgShell.h"

namespace lumo::platform {

FileSystem& hostFileSystem()
{
    static PosixFileSystem instance;
    return instance;
}

Environment& hostEnvironment()
{
    static PosixEnvironment instance;
    return instance;
}

Registry& hostRegistry()
{
    static HiveRegistry instance(HiveRegistry::defaultHivePath(hostEnvironment()));
    return instance;
}

WindowPresence& hostWindowPresence()
{
    static LockPresence instance(LockPresence::defaultFolder(hostEnvironment()));
    return instance;
}

Shell& hostShell()
{
    static XdgShell instance;
    return instance;
}

WebClient& hostWebClient()
{
    static CurlWebClient instance;
    return instance;
}

ProcessLauncher& hostProcessLauncher()
{
    static PosixProcessLauncher instance;
    return instance;
}

WaveOut& hostWaveOut()
{
    static ViewVolume instance;
    return instance;
}

} // namespace lumo::platform
