// The temporary folder, read afresh at every use. Windows: TEMP when both TMP and TEMP are set,
// otherwise the current folder; in long-name form. POSIX: the same TEMP rule, then TMPDIR, then
// /tmp, and only absolute paths count — never the current folder, because the Creator deletes
// <temp>/FS whole. No trailing separator (except for the root itself).
#pragma once

#include "platform/Environment.h"
#include "platform/Host.h"

#include <string>

namespace lumo {

std::string temporaryFolder(const platform::Environment& environment, platform::HostKind host = platform::kHost);

} // namespace lumo
