#include "ProcessIdentity.h"

#include <unistd.h>

namespace lumo::platform {

bool runsAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace lumo::platform
