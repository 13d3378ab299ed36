#pragma once

#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// An Xvfb of 1024x768 pixels for one test, so that what the test records is its own input only.
// Without Xvfb the test may use the display it runs under (shared(): true).
class PrivateXServer {
  public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    // A private Xvfb on the first free display, or else $DISPLAY; false when there is neither.
    bool start();
    // A private Xvfb on display `number` (the first free one when -1): false when it is taken.
    bool startPrivate(int number);
    // The private Xvfb again on the display number it had (after stop()).
    bool restart() { return !shared_ && number_ >= 0 && startPrivate(number_); }
    void stop() { process_.stop(); }

    const std::string& display() const { return display_; }
    bool shared() const { return shared_; }

  private:
    ChildProcess process_;
    std::string display_;
    int number_ = -1;
    bool shared_ = false;
};

}  // namespace zintor::testing
