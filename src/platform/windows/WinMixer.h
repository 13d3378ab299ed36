#pragma once

#include <windows.h>
// After windows.h.
#include <mmsystem.h>

#include "core/ports/Mixer.h"

namespace zintor {

// The master volume through the winmm mixer: device 0, the volume control of its speakers
// destination line, one value for all channels. The device stays open once opened.
class WinMixer : public Mixer {
  public:
    ~WinMixer() override;
    bool open() override;
    bool findMasterVolume() override;
    bool getVolume(std::uint32_t& value) override;
    bool setVolume(std::uint32_t value) override;

  private:
    HMIXER mixer_ = nullptr;
    DWORD controlId_ = 0;
};

}  // namespace zintor
