#include "platform/linux/PulseVolumeScale.h"

#include <algorithm>

namespace zintor {

namespace {

constexpr std::uint64_t kTopLevel = 65535;
constexpr std::uint64_t kNormVolume = 65536;  // PA_VOLUME_NORM

}  // namespace

std::uint32_t pulseVolumeFromLevel(std::uint32_t level) {
    const std::uint64_t clipped = std::min<std::uint64_t>(level, kTopLevel);
    return static_cast<std::uint32_t>((clipped * kNormVolume + kTopLevel / 2) / kTopLevel);
}

std::uint32_t pulseLevelFromVolume(std::uint32_t volume) {
    const std::uint64_t clipped = std::min<std::uint64_t>(volume, kNormVolume);
    return static_cast<std::uint32_t>((clipped * kTopLevel + kNormVolume / 2) / kNormVolume);
}

}  // namespace zintor
