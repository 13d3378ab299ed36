#pragma once

#include <string>
#include <vector>

#include "core/ports/Launcher.h"

namespace zintor {

// Records every start request ("start <path>" or "start minimized <path>") and answers with a
// configurable result (started, process id 4242 by default).
class FakeLauncher : public Launcher {
  public:
    FakeLauncher() {
        result_.started = true;
        result_.processId = 4242;
    }

    LaunchResult start(const std::string& path, bool minimizedNoFocus) override {
        calls_.push_back(std::string(minimizedNoFocus ? "start minimized " : "start ") + path);
        return result_;
    }

    void failWith(std::string error) {
        result_ = LaunchResult{};
        result_.error = std::move(error);
    }
    const std::vector<std::string>& calls() const { return calls_; }

  private:
    LaunchResult result_;
    std::vector<std::string> calls_;
};

}  // namespace zintor
