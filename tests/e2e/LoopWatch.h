#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

struct _XDisplay;

namespace zintor::test {

// Watches whether a program's main thread still turns its event loop, from the X server: every
// 250 ms it sends the program's window a _NET_WM_PING, which Qt answers from that thread only,
// and keeps the longest time a ping waited for its answer. It also covers the screen with a
// window of its own above the program's, with the keyboard focus, so that the keys and clicks
// the program makes never reach the program's own buttons.
class LoopWatch {
  public:
    explicit LoopWatch(const std::string& display);
    ~LoopWatch();
    LoopWatch(const LoopWatch&) = delete;
    LoopWatch& operator=(const LoopWatch&) = delete;

    // Finds the window of process `pid` that answers pings (waiting up to `limit`) and starts;
    // false, with error() saying why, when there is none.
    bool start(pid_t pid, std::chrono::milliseconds limit);
    // Stops pinging. The longest wait for an answer, a ping still unanswered counting until now.
    std::chrono::milliseconds stop();
    int answered() const { return answered_; }
    const std::string& error() const { return error_; }

    // The keys and mouse buttons held down on the X server ("" when none), such as
    // "key 64, button 1". Only while stopped.
    std::string held() const;

  private:
    unsigned long findWindow(pid_t pid) const;
    void run();

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long cover_ = 0;
    std::string error_;
    std::thread thread_;
    std::atomic<bool> stopping_ = false;
    std::atomic<std::int64_t> longestMs_ = 0;
    std::atomic<int> answered_ = 0;
};

}  // namespace zintor::test
