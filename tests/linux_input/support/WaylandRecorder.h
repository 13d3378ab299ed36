#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace zintor::testing {

// A Wayland client that records what the compositor delivers to it: wev (the Wayland event
// viewer) in a full-screen window, its output read back as "+a" / "-a" for keys (the key symbol
// under the client's keyboard state, so Shift gives "+A"), "+button1" / "-button1" (left),
// "+button3" / "-button3" (right) and "at 12,34" for every pointer position (enter and motion).
class WaylandRecorder {
  public:
    explicit WaylandRecorder(const std::string& display);
    ~WaylandRecorder();

    bool waitUntilShown() { return waitFor("xdg_surface] configure"); }
    // The seat has a keyboard only while some keyboard (a virtual one) exists.
    bool waitUntilFocused() { return waitFor("wl_keyboard] enter"); }
    // Waits until `count` events have arrived in all (or `limit` has passed) and returns them
    // all; the next call starts afresh.
    std::vector<std::string> takeTexts(std::size_t count,
                                       std::chrono::milliseconds limit = std::chrono::seconds(5));
    void take(std::size_t count, std::chrono::milliseconds limit) { takeTexts(count, limit); }
    std::string output() const { return ChildProcess::readFile(log_); }

  private:
    bool waitFor(const std::string& text);
    std::size_t read();  // parses what wev wrote since; the number of events waiting

    std::string log_;
    ChildProcess wev_;
    std::size_t done_ = 0;  // bytes of the output parsed
    std::string pendingKey_;
    unsigned lastKeySerial_ = 0;
    std::vector<std::string> events_;
};

}  // namespace zintor::testing
