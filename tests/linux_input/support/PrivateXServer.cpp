#include "PrivateXServer.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace zintor::testing {

namespace {

constexpr auto kStartLimit = std::chrono::seconds(10);

// Reads the display number that Xvfb writes once it accepts connections.
std::string readDisplayNumber(int fd) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 100) <= 0) {
            continue;
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            return number;
        }
        number += c;
    }
    return {};
}

bool canConnect(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return false;
    }
    XCloseDisplay(connection);
    return true;
}

}  // namespace

bool PrivateXServer::launch(int number) {
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
    const std::string written = started ? readDisplayNumber(fds[0]) : std::string();
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
    if (launch(-1)) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && canConnect(display)) {
        display_ = display;
        shared_ = true;
        return true;
    }
    return false;
}

bool PrivateXServer::startPrivate(int number) {
    return launch(number);
}

bool PrivateXServer::restart() {
    return !shared_ && number_ >= 0 && launch(number_);
}

void PrivateXServer::stop() {
    process_.stop();
}

}  // namespace zintor::testing
