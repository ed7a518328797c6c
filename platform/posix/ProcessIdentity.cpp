#include "ProcessIdentity.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace lumo::platform {

bool runsAsRoot()
{
    return ::geteuid() == 0;
}

void endWithParent()
{
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) // it ended before the request was in place
        ::raise(SIGTERM);
}

} // namespace lumo::platform
