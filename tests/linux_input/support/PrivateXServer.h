#pragma once

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "ChildProcess.h"

namespace zintor::testing {

// An Xvfb of 1024x768 pixels for one test, so that what the test records is its own input only.
// Without Xvfb the test may use the display it runs under (shared(): true).
class PrivateXServer {
  public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    // A private Xvfb on the first free display, or else $DISPLAY; false when there is neither.
    bool start() {
        if (startPrivate(-1)) {
            return true;
        }
        const char* display = std::getenv("DISPLAY");
        shared_ = display != nullptr && *display != '\0';
        display_ = shared_ ? display : "";
        return shared_;
    }
    // A private Xvfb on display `number` (the first free one when -1): false when it is taken.
    bool startPrivate(int number) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        std::vector<std::string> argv{"Xvfb"};
        number >= 0 ? argv.push_back(":" + std::to_string(number)) : void();
        // -noreset: a keyboard layout set by a test must outlive the client that set it.
        argv.insert(argv.end(), {"-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24",
                                 "-nolisten", "tcp", "-noreset"});
        const bool started = process_.start(argv, {}, {}, fds[1]);
        close(fds[1]);
        std::string written;  // the display number, once Xvfb accepts connections
        for (char c = 0; started && read(fds[0], &c, 1) == 1 && c != '\n';) {
            written += c;
        }
        close(fds[0]);
        if (written.empty()) {
            process_.stop();
            return false;
        }
        display_ = ":" + written;
        shared_ = false;
        return true;
    }
    void stop() { process_.stop(); }

    const std::string& display() const { return display_; }
    bool shared() const { return shared_; }

  private:
    ChildProcess process_;
    std::string display_;
    bool shared_ = false;
};

}  // namespace zintor::testing
