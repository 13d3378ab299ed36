#include "core/control/MasterVolume.h"

#include <algorithm>

#include "core/link/Link.h"

namespace zintor {
namespace {
constexpr std::int64_t kStepPauseMs = 100;
}

Task<void> MasterVolume::volumeCommand(std::int32_t code) {
    if (code == 0) {
        co_await run(+kStep);
    } else if (code == 1) {
        co_await run(-kStep);
    }
}

Task<void> MasterVolume::run(std::int64_t step) {
    if (!mixerOpen_) {
        if (!mixer_.open()) {
            co_return;  // the next command tries again
        }
        mixerOpen_ = true;
    }
    if (!mixer_.findMasterVolume()) {
        co_return;
    }
    std::uint32_t current = 0;
    std::int64_t level = mixer_.getVolume(current) ? current : 0;

    co_await repeat_.run(
        [this, &level, step] {
            level = std::clamp<std::int64_t>(level + step, 0, kMaxVolume);
            mixer_.setVolume(static_cast<std::uint32_t>(level));
        },
        [] { return kStepPauseMs; });
}

}  // namespace zintor
