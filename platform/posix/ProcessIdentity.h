// Who this process runs as.
#pragma once

namespace lumo::platform {

// The effective user is root.
bool runsAsRoot();

} // namespace lumo::platform
