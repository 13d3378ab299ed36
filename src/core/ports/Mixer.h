#pragma once

#include <cstdint>

namespace zintor {

// The master playback volume on a 0..65535 scale.
class Mixer {
  public:
    virtual ~Mixer() = default;
    // Opens mixer device 0; true on success. Called again after a failure.
    virtual bool open() = 0;
    // Finds the volume control of the master (speakers) line; true when there is one.
    virtual bool findMasterVolume() = 0;
    // False when the value cannot be read.
    virtual bool getVolume(std::uint32_t& value) = 0;
    virtual bool setVolume(std::uint32_t value) = 0;
};

}  // namespace zintor
