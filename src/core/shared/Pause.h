#pragma once

#include <algorithm>
#include <coroutine>
#include <cstdint>
#include <optional>

#include "core/ports/EventLoop.h"

namespace zintor {

// `co_await Pause(loop, ms)`: the task goes on `ms` milliseconds later; the loop handles
// everything else meanwhile. No pause at all for zero or less.
class Pause {
  public:
    Pause(EventLoop& loop, std::int64_t ms) : loop_(loop), ms_(ms) {}
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
    ~Pause() { cancel(); }

    bool await_ready() const noexcept { return ms_ <= 0; }
    void await_suspend(std::coroutine_handle<> waiting) {
        // Longer than a day is not a pause anybody asks for; it also keeps the timer in range.
        constexpr std::int64_t kLongestMs = 86'400'000;
        timer_ = loop_.startTimer(static_cast<int>(std::min(ms_, kLongestMs)), [this, waiting] {
            const std::coroutine_handle<> next = waiting;  // the tick is gone after cancel()
            cancel();
            next.resume();
        });
    }
    void await_resume() const noexcept {}

  private:
    void cancel() { loop_.clearTimer(timer_); }

    EventLoop& loop_;
    std::int64_t ms_;
    std::optional<EventLoop::TimerId> timer_;
};

}  // namespace zintor
