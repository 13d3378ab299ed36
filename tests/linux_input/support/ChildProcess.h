#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace zintor::testing {

// A helper program started by a test (an X server, a sound server) and stopped with it.
class ChildProcess {
  public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ChildProcess() = default;
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] with `environment` added to ours, its output going to `logFile` (or nowhere);
    // `inheritedFd`, when not -1, stays open in the child.
    bool start(const std::vector<std::string>& argv, const Environment& environment = {},
               const std::string& logFile = {}, int inheritedFd = -1);
    // SIGTERM, then SIGKILL when it has not ended within a few seconds.
    void stop();
    bool running();
    void signal(int number);
    pid_t pid() const { return pid_; }
    // The exit status (128 + signal when killed) once it has ended, waiting up to `limitMs`.
    std::optional<int> waitForExit(int limitMs);
    // Waits until the Unix socket `socketPath` accepts a connection: false when the process ends
    // first or 10 s pass.
    bool waitUntilListening(const std::string& socketPath);

    // The full path of `program` ("" when not installed); a shell command's output; a file's text.
    static std::string find(const std::string& program);
    static std::string output(const std::string& command);
    static std::string readFile(const std::string& path);

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace zintor::testing
