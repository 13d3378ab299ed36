#pragma once

#include <vector>

#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "control/InputSynthesis.h"
#include "control/MasterVolume.h"
#include "keymap/KeyMapRecords.h"
#include "ports/EventLoop.h"

namespace zintor {

class Link;

// A key's command list has commands.
bool hasCommands(const std::vector<KeyCommand>& commands);

// Runs the command list of one key for one key event. Most commands act on the press; mouse
// buttons follow press and release; SPECIAL KEY, the master volume and the media player's
// volume repeat until the key's release (handled in a nested call) clears their flag, and the
// commands after them run only then.
class CommandExecutor {
  public:
    CommandExecutor(ProgramState& state, EventLoop& loop, Link& link, Procedures& procedures,
                    InputSynthesis& input, MasterVolume& volume)
        : state_(state),
          loop_(loop),
          link_(link),
          procedures_(procedures),
          input_(input),
          volume_(volume) {}

    void executeCommands(const std::vector<KeyCommand>& commands, const KeyEvent& event);

  private:
    void onPress(const KeyCommand& command);
    void onRelease(const KeyCommand& command);
    void mousePress(std::int32_t code);
    void switchToTextInput();

    ProgramState& state_;
    EventLoop& loop_;
    Link& link_;
    Procedures& procedures_;
    InputSynthesis& input_;
    MasterVolume& volume_;
};

}  // namespace zintor
