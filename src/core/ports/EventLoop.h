#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace zintor {

// The one event loop everything runs on. It calls the core (serial data, timer ticks, clicks,
// posted calls) and the core returns to it: nothing in the core waits inside a call. A wait
// (a command's answer, a pause, a key's release) is a task that goes on from a later call.
class EventLoop {
  public:
    using TimerId = int;

    virtual ~EventLoop() = default;

    // Milliseconds on a monotonic clock (never jumps at midnight or when the wall clock is set).
    virtual std::int64_t now() const = 0;

    // A repeating timer; the first tick comes `intervalMs` after the start.
    virtual TimerId startTimer(int intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer(TimerId id) = 0;
    // Stops `timer` if it is set, and clears it.
    void clearTimer(std::optional<TimerId>& timer) {
        if (const std::optional<TimerId> id = std::exchange(timer, std::nullopt)) {
            stopTimer(*id);
        }
    }

    // Runs `call` from the loop, after the events already queued.
    virtual void post(std::function<void()> call) = 0;
};

}  // namespace zintor
