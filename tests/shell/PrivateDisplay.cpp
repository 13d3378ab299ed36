#include "PrivateDisplay.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace zintor::test {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitFor(const auto& done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

bool ChildProcess::start(const std::vector<std::string>& argv, int keepFd) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);
        }
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keepFd) {
                close(fd);
            }
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    pid_ = pid;
    return true;
}

void ChildProcess::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

bool PrivateDisplay::start() {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    // Xvfb picks a free display number and writes it to the pipe when it is ready.
    const bool started = server_.start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen",
                                        "0", "1024x768x24", "-nolisten", "tcp"},
                                       fds[1]);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (started && read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        return false;
    }
    name_ = ":" + number;
    return true;
}

bool TrayHost::start(const std::string& display) {
    setenv("DISPLAY", display.c_str(), 1);
    if (!process_.start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                         "--height", "32", "--transparent", "false", "--SetDockType", "true"})) {
        return false;
    }
    Display* x = XOpenDisplay(display.c_str());
    if (!x) {
        return false;
    }
    const Atom selection = XInternAtom(x, "_NET_SYSTEM_TRAY_S0", False);
    const bool owned =
        WaitFor([&] { return XGetSelectionOwner(x, selection) != None; }, std::chrono::seconds(10));
    XCloseDisplay(x);
    return owned;
}

}  // namespace zintor::test
