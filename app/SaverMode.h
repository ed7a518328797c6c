// The editor as the saver of a Linux screensaver daemon (xscreensaver, XSecureLock): the checked
// movies of the editor's playlist, with the editor's settings, inside the X window the daemon
// gives. It reads the settings and writes nothing, runs beside an open editor and other savers,
// and ends with status 0 on SIGTERM (the daemon's way to end it).
#pragma once

#include "EditorServices.h"

#include "app/core/SaverTarget.h"

namespace lumo::app {

// Exit status 1 with one line on stderr when there is no X display or the window is none.
int runSaver(const SaverTarget& target, EditorServices& services, int argc, char** argv);

} // namespace lumo::app
