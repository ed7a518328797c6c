// SIGTERM (how a screensaver daemon ends its saver) and SIGINT as a readable file descriptor, so
// the program's event loop ends cleanly instead of being killed mid-write. The signals are
// blocked and read from a signalfd: a handler would be replaced by the web engine's own.
#pragma once

namespace lumo::platform {

// Before any thread starts (threads inherit the blocked signals); the descriptor becomes readable
// when one of the signals came. -1 when it cannot be made (the signals then act as by default).
int terminationDescriptor();

} // namespace lumo::platform
