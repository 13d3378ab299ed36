#pragma once

#include <vector>

#include "core/control/InputSynthesis.h"
#include "core/control/MasterVolume.h"
#include "core/keymap/KeyMapRecords.h"
#include "core/link/Link.h"
#include "core/link/transport/PhoneEvent.h"
#include "core/media/PlayerControl.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

// A key's command list has commands.
bool hasCommands(const std::vector<KeyCommand>& commands);

// Runs the command list of one key for one key event. Most commands act on the press; mouse
// buttons follow press and release; SPECIAL KEY, the master volume and the media player's
// volume repeat until the key's release clears their flag, and the commands after them run only
// then.
class CommandExecutor {
  public:
    CommandExecutor(ProgramState& state, EventLoop& loop, Link& link, PlayerControl& player,
                    InputSynthesis& input, MasterVolume& volume)
        : state_(state),
          link_(link),
          player_(player),
          input_(input),
          volume_(volume),
          specialKeyRepeat_(loop, link.transport.repeatGate(), state.specialKeyRepeating) {}

    // Ends when the whole list has run. The list must outlive the task (key maps never change
    // once loaded).
    Task<void> executeCommands(const std::vector<KeyCommand>& commands, KeyEvent event);
    // The left button is no longer held by a MOUSE LEFT HOLD (it was let go).
    void forgetLatch() { leftButtonLatched_ = false; }

  private:
    Task<void> onPress(const KeyCommand& command);
    void onRelease(const KeyCommand& command);
    void mousePress(std::int32_t code);
    Task<void> repeatSpecialKey(std::uint8_t code);
    Task<void> switchToTextInput();

    ProgramState& state_;
    Link& link_;
    PlayerControl& player_;
    InputSynthesis& input_;
    MasterVolume& volume_;
    bool leftButtonLatched_ = false;  // MOUSE LEFT HOLD pressed the button, the next lets it go
    HoldRepeat specialKeyRepeat_;
};

}  // namespace zintor
