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

bool ValidSlot(int index) {
    return index >= 0 && index < kSlotCount;
}

}  // namespace

void Link::ResetTimer(int index, std::int32_t lTimeOut) {
    // Once the program shuts down only a command's time-out still runs.
    if (!ValidSlot(index) || (impl_->stopping && index != 0)) {
        return;
    }
    // A time-out below 1 ms would never end a Send; it ends it at once instead.
    const int interval = index == 0 ? std::max<std::int32_t>(lTimeOut, 1) : kIntervals[index];
    DisableTimer(index);
    impl_->timers[index] =
        impl_->ports.loop.startTimer(interval, [impl = impl_.get(), index] { impl->Tick(index); });
    if (index == 1) {
        impl_->state.MouseStep = 1;
    }
}

void Link::DisableTimer(int index) {
    if (!ValidSlot(index)) {
        return;
    }
    if (auto& timer = impl_->timers[index]) {
        impl_->ports.loop.stopTimer(*timer);
        timer.reset();
    }
}

bool Link::TimerRunning(int index) const {
    return ValidSlot(index) && impl_->timers[index].has_value();
}

void Link::Impl::Tick(int index) {
    switch (index) {
        case 0:  // command time-out: the waiting Send ends with failure
            state.AnswerReceived = true;
            state.AnswerOK = false;
            break;
        case 1:  // the cursor accelerates while a direction key is held
            if (state.MouseStep < std::numeric_limits<std::int16_t>::max()) {
                ++state.MouseStep;
            }
            break;
        case 2:
            ports.serial.setReceiveArmed(false);
            procedures.WinAMP_Menu_Selected(link_texts::kPlaylistRefreshLine);
            ports.serial.setReceiveArmed(true);
            break;
        case 3:
            ports.serial.setReceiveArmed(false);
            procedures.WinAMP_Status_Menu_Selected(link_texts::kStatusRefreshLine);
            ports.serial.setReceiveArmed(true);
            break;
        case 4:
            procedures.TrayIconAnimate();
            break;
        case 5:
            Supervise();
            break;
        default:
            break;
    }
}

}  // namespace zintor
