#include "control/MasterVolume.h"

#include <algorithm>

#include "link/Link.h"

namespace zintor {
namespace {
constexpr float kStepPauseSeconds = 0.1f;
}

void MasterVolume::VolumeCommand(std::int32_t code) {
    if (code == 0) {
        VolumeUp();
    } else if (code == 1) {
        VolumeDown();
    }
}

void MasterVolume::Run(std::int64_t step) {
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

    state_.VolumeStepping = true;
    const auto epoch = link_.linkEpoch();
    const ModeIndex mode = KeyModeNow(state_);
    while (state_.VolumeStepping && link_.holdGoesOn(epoch) && state_.ModeFlags[mode]) {
        level = std::clamp<std::int64_t>(level + step, 0, kMaxVolume);
        mixer_.setVolume(static_cast<std::uint32_t>(level));
        link_.pumpWhileWaiting();
        link_.Wait(kStepPauseSeconds);
    }
    state_.VolumeStepping = false;
}

}  // namespace zintor
