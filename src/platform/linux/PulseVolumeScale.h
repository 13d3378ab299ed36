#pragma once

#include <cstdint>

namespace zintor {

// The program's volume scale runs from 0 to 65535; PulseAudio's from 0 (muted) to 65536 (100%,
// PA_VOLUME_NORM) and beyond. The top of the program's scale is exactly 100%, and a level turned
// into a PulseAudio volume and back is the same level again, so that steps never drift.
std::uint32_t pulseVolumeFromLevel(std::uint32_t level);
// Volumes above 100% read as the top of the scale.
std::uint32_t pulseLevelFromVolume(std::uint32_t volume);

}  // namespace zintor
