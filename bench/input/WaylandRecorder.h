#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct wl_display;

namespace zintor::testing {

// A Wayland client with one full-screen window that records what the compositor delivers to it,
// each event with the time it arrived (the latency benchmark needs that; the tests read wev):
// "+a" / "-a" for keys (the key symbol under the client's keyboard state, so Shift gives "+A"),
// "+button1" / "-button1" (left) and "+button3" / "-button3" (right), and "at 12,34" for
// every pointer position (enter and motion, window coordinates). It runs on its own thread.
class WaylandRecorder {
  public:
    struct Event {
        std::string text;
        std::chrono::steady_clock::time_point at;
    };

    explicit WaylandRecorder(const std::string& display);
    ~WaylandRecorder();
    WaylandRecorder(const WaylandRecorder&) = delete;
    WaylandRecorder& operator=(const WaylandRecorder&) = delete;

    // True once the window is shown (waits up to 10 s).
    bool waitUntilShown();
    // True once the window has the keyboard focus: the seat has a keyboard only while some
    // keyboard (a virtual one) exists.
    bool waitUntilFocused();
    // Waits until `count` events have arrived in all (or `limit` has passed) and returns them
    // all; the next call starts afresh.
    std::vector<Event> take(std::size_t count,
                            std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::vector<std::string> takeTexts(std::size_t count,
                                       std::chrono::milliseconds limit = std::chrono::seconds(5));

    struct Client;  // the Wayland objects, for the listeners

  private:
    void run();

    Client* client_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
    bool shown_ = false;
    bool focused_ = false;
    bool stop_ = false;
    std::thread thread_;

    friend struct Client;
};

}  // namespace zintor::testing
