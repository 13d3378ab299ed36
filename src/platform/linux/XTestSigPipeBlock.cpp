#include "platform/linux/XTestSigPipeBlock.h"

#include <pthread.h>
#include <time.h>

namespace zintor {

XTestSigPipeBlock::XTestSigPipeBlock() {
    struct sigaction current {};
    active_ = sigaction(SIGPIPE, nullptr, &current) != 0 || current.sa_handler != SIG_IGN;
    if (!active_) {
        return;
    }
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previousMask_);
}

XTestSigPipeBlock::~XTestSigPipeBlock() {
    if (!active_) {
        return;
    }
    if (!wasPending_) {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE) == 1) {
            const timespec zero{};
            sigtimedwait(&pipe_, nullptr, &zero);
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

}  // namespace zintor
