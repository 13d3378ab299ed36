#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "ChildProcess.h"

namespace zintor::test {

// The real zintor executable in a private configuration and state folder (removed at the end),
// ended at the end if it still runs.
class ZintorProcess {
  public:
    ZintorProcess();
    ~ZintorProcess();

    const std::string& configFolder() const { return config_; }  // $XDG_CONFIG_HOME/Zintor
    // Writes the settings file ([Settings] followed by `lines`).
    void writeSettings(const std::string& lines);
    // Makes ports/COM<n> a symbolic link to `device`.
    void pin(int port, const std::string& device);
    std::string readSettings() const {
        return testing::ChildProcess::readFile(config_ + "/Zintor4.ini");
    }

    // `extra` is added to the program's environment; `withoutX` hides DISPLAY from it.
    bool start(const testing::ChildProcess::Environment& extra = {}, bool withoutX = false);
    // Starts the program once more on the same folders, without a display, and returns what it
    // wrote to standard error and its exit status ("status N").
    std::string runAgain() const;
    void signal(int number) { process_.signal(number); }
    // The exit status once the process has ended, nothing if it is still running after `limit`.
    std::optional<int> waitForExit(std::chrono::milliseconds limit) {
        return process_.waitForExit(static_cast<int>(limit.count()));
    }
    bool running() { return process_.running(); }
    pid_t pid() const { return process_.pid(); }
    std::string errorOutput() const {
        return testing::ChildProcess::readFile(root_ + "/output.txt");
    }

  private:
    std::string root_;
    std::string config_;
    testing::ChildProcess process_;
};

}  // namespace zintor::test
