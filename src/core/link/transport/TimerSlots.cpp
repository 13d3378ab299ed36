#include "core/link/transport/TimerSlots.h"

#include <algorithm>

namespace zintor {

namespace {

// Intervals in milliseconds; the command time-out's comes with each command.
constexpr std::array<int, kTimerSlotCount> kIntervals{0, 300, 8000, 4000, 200, 5000};

std::size_t indexOf(TimerSlot slot) {
    return static_cast<std::size_t>(slot);
}

}  // namespace

TimerSlots::~TimerSlots() {
    for (int slot = 0; slot < kTimerSlotCount; ++slot) {
        disable(static_cast<TimerSlot>(slot));
    }
}

void TimerSlots::reset(TimerSlot slot, std::int32_t timeOut) {
    if (stopping_ && slot != TimerSlot::kCommandTimeOut) {
        return;
    }
    // A time-out below 1 ms would never end a send; it ends it at once instead.
    const int interval = slot == TimerSlot::kCommandTimeOut ? std::max<std::int32_t>(timeOut, 1)
                                                            : kIntervals[indexOf(slot)];
    disable(slot);
    timers_[indexOf(slot)] = loop_.startTimer(interval, [this, slot] {
        if (const auto& tick = ticks_[indexOf(slot)]) {
            tick();
        }
    });
}

void TimerSlots::disable(TimerSlot slot) {
    loop_.clearTimer(timers_[indexOf(slot)]);
}

void TimerSlots::disableAll() {
    for (int slot = 0; slot < kTimerSlotCount; ++slot) {
        if (static_cast<TimerSlot>(slot) != TimerSlot::kCommandTimeOut) {
            disable(static_cast<TimerSlot>(slot));
        }
    }
}

bool TimerSlots::running(TimerSlot slot) const {
    return timers_[indexOf(slot)].has_value();
}

void TimerSlots::onTick(TimerSlot slot, std::function<void()> tick) {
    ticks_[indexOf(slot)] = std::move(tick);
}

void TimerSlots::release(TimerSlot slot) {
    disable(slot);
    ticks_[indexOf(slot)] = nullptr;
}

}  // namespace zintor
