#include "terminal/QuietThread.h"

#include <csignal>
#include <pthread.h>

namespace veloria {

std::thread startQuietThread(std::function<void()> work) {
    // The new thread inherits the mask in force when it is made.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    std::thread thread(std::move(work));
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

} // namespace veloria
