#pragma once

#include <string>

namespace zintor {

struct LaunchResult {
    bool started = false;
    long processId = 0;
    std::string error;  // why it did not start, for the log
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts `path` as a detached process with no arguments. `minimizedNoFocus` asks for a
    // minimized window that does not take the focus; otherwise a normal, focused window.
    virtual LaunchResult start(const std::string& path, bool minimizedNoFocus) = 0;
};

}  // namespace zintor
