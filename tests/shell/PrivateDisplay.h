#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace zintor::test {

// A program started by a test, ended (SIGTERM, then waited for) when this object goes. It also
// ends when the test process dies.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is looked up in PATH. `keepFd` stays open in the child (-1: none).
    bool start(const std::vector<std::string>& argv, int keepFd = -1);
    void stop();
    bool running() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

// An Xvfb server of the test's own, so that a tray host started there is seen by this test
// only. start() returns once the server accepts clients.
class PrivateDisplay {
  public:
    bool start();
    const std::string& name() const { return name_; }  // ":7"

  private:
    ChildProcess server_;
    std::string name_;
};

// A tray host (trayer, speaking the X11 system tray protocol) on `display`. start() returns
// once it owns the tray selection.
class TrayHost {
  public:
    bool start(const std::string& display);
    void stop() { process_.stop(); }

  private:
    ChildProcess process_;
};

}  // namespace zintor::test
