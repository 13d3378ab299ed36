#pragma once

#include <cstdint>

#include "core/link/Link.h"
#include "core/ports/EventLoop.h"
#include "core/ports/Mixer.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

// Steps the master playback volume (0..65535, steps of 1000) while a key is held: the first
// step at once, then one about every 100 ms until volumeStepping is cleared by the key's release.
class MasterVolume {
  public:
    static constexpr std::int64_t kMaxVolume = 65535;
    static constexpr std::int64_t kStep = 1000;

    MasterVolume(ProgramState& state, Mixer& mixer, EventLoop& loop, Link& link)
        : mixer_(mixer), repeat_(loop, link.transport.repeatGate(), state.volumeStepping) {}

    // 0 steps up, 1 steps down; every other code (the other mixer lines) does nothing. Ends when
    // the stepping does.
    Task<void> volumeCommand(std::int32_t code);

  private:
    Task<void> run(std::int64_t step);

    Mixer& mixer_;
    HoldRepeat repeat_;
    bool mixerOpen_ = false;  // opened once, kept for the rest of the run
};

}  // namespace zintor
