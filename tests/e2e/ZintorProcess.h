#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace zintor::test {

// The real zintor executable, started in a private configuration and state folder (removed at
// the end). The process is killed at the end if it is still running.
class ZintorProcess {
  public:
    ZintorProcess();
    ~ZintorProcess();
    ZintorProcess(const ZintorProcess&) = delete;
    ZintorProcess& operator=(const ZintorProcess&) = delete;

    const std::string& configFolder() const { return config_; }  // $XDG_CONFIG_HOME/Zintor
    // Writes the settings file ([Settings] followed by `lines`).
    void writeSettings(const std::string& lines);
    // Makes ports/COM<n> a symbolic link to `device`.
    void pin(int port, const std::string& device);
    std::string readSettings() const;

    bool start();
    void signal(int number);
    // The exit status once the process has ended, nothing if it is still running after `limit`.
    std::optional<int> waitForExit(std::chrono::milliseconds limit);
    bool running();
    pid_t pid() const { return pid_; }
    std::string errorOutput() const;  // what the program wrote to standard error

  private:
    std::string root_;
    std::string config_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace zintor::test
