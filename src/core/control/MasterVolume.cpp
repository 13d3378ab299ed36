#include "control/MasterVolume.h"

#include <algorithm>

#include "link/Link.h"

namespace zintor {
namespace {
constexpr float kStepPauseSeconds = 0.1f;
}

void MasterVolume::volumeCommand(std::int32_t code) {
    if (code == 0) {
        volumeUp();
    } else if (code == 1) {
        volumeDown();
    }
}

void MasterVolume::run(std::int64_t step) {
    if (!mixerOpen_) {
        if (!mixer_.open()) {
            return;  // the next command tries again
        }
        mixerOpen_ = true;
    }
    if (!mixer_.findMasterVolume()) {
        return;
    }
    std::uint32_t current = 0;
    std::int64_t level = mixer_.getVolume(current) ? current : 0;

    state_.volumeStepping = true;
    const auto epoch = link_.linkEpoch();
    const ModeIndex mode = keyModeNow(state_);
    while (state_.volumeStepping && link_.holdGoesOn(epoch) && state_.modeFlags[mode]) {
        level = std::clamp<std::int64_t>(level + step, 0, kMaxVolume);
        mixer_.setVolume(static_cast<std::uint32_t>(level));
        link_.pumpWhileWaiting();
        link_.wait(kStepPauseSeconds);
    }
    state_.volumeStepping = false;
}

}  // namespace zintor
