#include "TerminationSignal.h"

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>

namespace lumo::platform {

int terminationDescriptor()
{
    static const int descriptor = [] {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGTERM);
        sigaddset(&signals, SIGINT);
        const int fd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
        if (fd >= 0)
            ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        return fd;
    }();
    return descriptor;
}

} // namespace lumo::platform
