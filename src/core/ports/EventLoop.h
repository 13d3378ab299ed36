#pragma once

#include <cstdint>
#include <functional>

namespace zintor {

// The one event loop everything runs on. The core never blocks except through it, and every wait
// keeps handling events (serial data, timer ticks, clicks) so that nested handlers run inside it.
class EventLoop {
  public:
    using TimerId = int;

    virtual ~EventLoop() = default;

    // Milliseconds on a monotonic clock (never jumps at midnight or when the wall clock is set).
    virtual std::int64_t now() const = 0;

    // Runs the events that are pending right now, without waiting for new ones.
    virtual void pumpOnce() = 0;

    // Handles events until `done` returns true. Blocks (never spins) between events.
    virtual void waitFor(const std::function<bool()>& done) = 0;

    // Handles events until now() >= deadline. Blocks between events.
    virtual void waitUntil(std::int64_t deadline) = 0;

    // A repeating timer; the first tick comes `intervalMs` after the start.
    virtual TimerId startTimer(int intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer(TimerId id) = 0;

    // Runs `call` from the loop, after the events already queued.
    virtual void post(std::function<void()> call) = 0;
};

}  // namespace zintor
