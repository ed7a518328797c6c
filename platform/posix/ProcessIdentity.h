// Who this process runs as, and whom it lives for.
#pragma once

namespace lumo::platform {

// The effective user is root.
bool runsAsRoot();

// A helper ends (SIGTERM) when the program that started it ends, however that ends: a killed build
// leaves no recorder running on.
void endWithParent();

} // namespace lumo::platform
