// The six timer slots: starting, stopping, and what each does on a tick.

#include <algorithm>
#include <array>
#include <limits>

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace {

constexpr int kSlotCount = 6;

// Fixed intervals of slots 1..5 in milliseconds; slot 0 takes the command's time-out.
constexpr std::array<int, kSlotCount> kIntervals{0, 300, 8000, 4000, 200, 5000};

bool validSlot(int index) {
    return index >= 0 && index < kSlotCount;
}

}  // namespace

void Link::resetTimer(int index, std::int32_t timeOut) {
    // Once the program shuts down only a command's time-out still runs.
    if (!validSlot(index) || (impl_->stopping && index != 0)) {
        return;
    }
    // A time-out below 1 ms would never end a Send; it ends it at once instead.
    const int interval = index == 0 ? std::max<std::int32_t>(timeOut, 1) : kIntervals[index];
    disableTimer(index);
    impl_->timers[index] =
        impl_->ports.loop.startTimer(interval, [impl = impl_.get(), index] { impl->tick(index); });
    if (index == 1) {
        impl_->state.mouseStep = 1;
    }
}

void Link::disableTimer(int index) {
    if (!validSlot(index)) {
        return;
    }
    if (auto& timer = impl_->timers[index]) {
        impl_->ports.loop.stopTimer(*timer);
        timer.reset();
    }
}

bool Link::timerRunning(int index) const {
    return validSlot(index) && impl_->timers[index].has_value();
}

void Link::Impl::tick(int index) {
    switch (index) {
        case 0:  // command time-out: the waiting Send ends with failure
            state.answerReceived = true;
            state.answerOk = false;
            break;
        case 1:  // the cursor accelerates while a direction key is held
            if (state.mouseStep < std::numeric_limits<std::int16_t>::max()) {
                ++state.mouseStep;
            }
            break;
        case 2:
            ports.serial.setReceiveArmed(false);
            procedures.winampMenuSelected(link_texts::kPlaylistRefreshLine);
            ports.serial.setReceiveArmed(true);
            break;
        case 3:
            ports.serial.setReceiveArmed(false);
            procedures.winampStatusMenuSelected(link_texts::kStatusRefreshLine);
            ports.serial.setReceiveArmed(true);
            break;
        case 4:
            procedures.trayIconAnimate();
            break;
        case 5:
            supervise();
            break;
        default:
            break;
    }
}

}  // namespace zintor
