#pragma once

#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// A headless sway (wlroots' headless backend, pixman renderer, no input devices, no XWayland)
// with one output of kWidth x kHeight, in a private runtime folder. Sway refuses to run as root:
// under root it runs as the user "nobody".
class PrivateSway {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    ~PrivateSway();

    static bool installed() { return !ChildProcess::find("sway").empty(); }
    // Starts sway, `environment` added to its own, and waits for its socket.
    bool start(const ChildProcess::Environment& environment = {});
    // The socket's full path: a valid WAYLAND_DISPLAY for any user allowed into the folder.
    const std::string& display() const { return display_; }
    std::string log() const { return ChildProcess::readFile(folder_ + ".log"); }
    void stop() { sway_.stop(); }

  private:
    std::string folder_;
    std::string display_;
    ChildProcess sway_;
};

}  // namespace zintor::testing
