// The six timer slots: starting and stopping them, and the link's own ticks.

#include <algorithm>
#include <array>

#include "link/Link.h"
#include "link/LinkImpl.h"

namespace zintor {

namespace {

// Intervals in milliseconds; the command time-out's comes with each command.
constexpr std::array<int, kTimerSlotCount> kIntervals{0, 300, 8000, 4000, 200, 5000};

constexpr int kFirstIconFrame = 101;
constexpr int kLastIconFrame = 103;

std::size_t indexOf(TimerSlot slot) {
    return static_cast<std::size_t>(slot);
}

}  // namespace

void Link::resetTimer(TimerSlot slot, std::int32_t timeOut) {
    // Once the program shuts down only a command's time-out still runs.
    if (impl_->stopping && slot != TimerSlot::CommandTimeOut) {
        return;
    }
    // A time-out below 1 ms would never end a send; it ends it at once instead.
    const int interval = slot == TimerSlot::CommandTimeOut ? std::max<std::int32_t>(timeOut, 1)
                                                           : kIntervals[indexOf(slot)];
    disableTimer(slot);
    impl_->timers[indexOf(slot)] =
        impl_->ports.loop.startTimer(interval, [impl = impl_.get(), slot] {
            if (const auto& tick = impl->ticks[indexOf(slot)]) {
                tick();
            }
        });
}

void Link::disableTimer(TimerSlot slot) {
    if (auto& timer = impl_->timers[indexOf(slot)]) {
        impl_->ports.loop.stopTimer(*timer);
        timer.reset();
    }
}

void Link::disableAllTimers() {
    for (int slot = 0; slot < kTimerSlotCount; ++slot) {
        // A command on the wire keeps its time-out: every command ends, answered or not.
        if (static_cast<TimerSlot>(slot) == TimerSlot::CommandTimeOut && impl_->onWire != nullptr) {
            continue;
        }
        disableTimer(static_cast<TimerSlot>(slot));
    }
}

bool Link::timerRunning(TimerSlot slot) const {
    return impl_->timers[indexOf(slot)].has_value();
}

void Link::onTick(TimerSlot slot, std::function<void()> tick) {
    impl_->ticks[indexOf(slot)] = std::move(tick);
}

// Frames 101, 102, 103, 101, ... The icon keeps its last frame when the animation stops.
void Link::Impl::animateTrayIcon() {
    state.iconFrame = state.iconFrame >= kLastIconFrame ? kFirstIconFrame : state.iconFrame + 1;
    ports.desktop.trayShowFrame(state.iconFrame);
}

}  // namespace zintor
