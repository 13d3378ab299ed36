#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/link/transport/TimerSlot.h"
#include "core/ports/EventLoop.h"

namespace zintor {

// The six timer slots on the event loop: each runs one timer at a time, and what it does when it
// fires is said once by the part that starts it.
class TimerSlots {
  public:
    explicit TimerSlots(EventLoop& loop) : loop_(loop) {}
    ~TimerSlots();
    TimerSlots(const TimerSlots&) = delete;
    TimerSlots& operator=(const TimerSlots&) = delete;

    // Starts the slot afresh. `timeOut` is the command time-out's interval; the other slots have
    // fixed ones.
    void reset(TimerSlot slot, std::int32_t timeOut = 0);
    void disable(TimerSlot slot);
    // Every slot but the command time-out: only the transport starts and stops that one, and a
    // command on the wire keeps it (every command ends, answered or not).
    void disableAll();
    bool running(TimerSlot slot) const;
    void onTick(TimerSlot slot, std::function<void()> tick);
    // Stops the slot and forgets its tick: the part that said it is going away.
    void release(TimerSlot slot);
    // From now on only a command's time-out still starts.
    void beginShutdown() { stopping_ = true; }

  private:
    EventLoop& loop_;
    std::array<std::optional<EventLoop::TimerId>, kTimerSlotCount> timers_{};
    std::array<std::function<void()>, kTimerSlotCount> ticks_{};
    bool stopping_ = false;
};

}  // namespace zintor
