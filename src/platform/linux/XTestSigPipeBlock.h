#pragma once

#include <signal.h>

namespace zintor {

// Blocks SIGPIPE while it lives, so that writing to a dead X server does not kill the program, and
// swallows a SIGPIPE raised meanwhile. Costs nothing more than one query where the program ignores
// SIGPIPE anyway (zintor does).
class XTestSigPipeBlock {
  public:
    XTestSigPipeBlock();
    ~XTestSigPipeBlock();
    XTestSigPipeBlock(const XTestSigPipeBlock&) = delete;
    XTestSigPipeBlock& operator=(const XTestSigPipeBlock&) = delete;

  private:
    sigset_t pipe_{};
    sigset_t previousMask_{};
    bool wasPending_ = false;
    bool active_ = false;
};

}  // namespace zintor
