#include "PrivateXServer.h"

#include <X11/Xlib.h>

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace zintor::testing {

bool PrivateXServer::startPrivate(int number) {
    int fds[2];
    if (ChildProcess::find("Xvfb").empty() || pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    std::vector<std::string> argv{"Xvfb"};
    if (number >= 0) {
        argv.push_back(":" + std::to_string(number));
    }
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
    number_ = std::atoi(written.c_str());
    display_ = ":" + written;
    shared_ = false;
    return true;
}

bool PrivateXServer::start() {
    if (startPrivate(-1)) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    Display* connection = display != nullptr ? XOpenDisplay(display) : nullptr;
    shared_ = connection != nullptr && XCloseDisplay(connection) >= 0;
    display_ = shared_ ? display : "";
    return shared_;
}

}  // namespace zintor::testing
