// The one place that knows which platform this build runs on: the services of the host and the
// separator of its paths. The implementations live in posix/ or win32/, chosen by CMake.
#pragma once

#include "ChildProcess.h"
#include "Environment.h"
#include "FileSystem.h"
#include "ProgramResources.h"
#include "Registry.h"
#include "Shell.h"
#include "WaveOut.h"
#include "WebClient.h"
#include "WindowPresence.h"

namespace lumo::platform {

enum class HostKind { Windows, Posix };

#ifdef _WIN32
inline constexpr HostKind kHost = HostKind::Windows;
inline constexpr char kHostSeparator = '\\';
#else
inline constexpr HostKind kHost = HostKind::Posix;
inline constexpr char kHostSeparator = '/';
#endif

// Process-wide services of the host, created on first use.
FileSystem& hostFileSystem();
Environment& hostEnvironment();
Registry& hostRegistry();
WindowPresence& hostWindowPresence();
Shell& hostShell();
WaveOut& hostWaveOut();
#ifdef _WIN32
ProgramResources& hostProgramResources();
#else
WebClient& hostWebClient();
ProcessLauncher& hostProcessLauncher();
#endif

} // namespace lumo::platform
