#pragma once

#include "ports/KeyboardMouse.h"
#include "shared/ProgramState.h"

namespace zintor {

class Link;

// One step of the mouse cursor by mouseStep pixels, followed by the mouseSpeed pause (events
// keep running during the pause).
class CursorMovement {
  public:
    CursorMovement(ProgramState& state, KeyboardMouse& input, Link& link)
        : state_(state), input_(input), link_(link) {}

    void moveCursorLeft() { step(-1, 0); }
    void moveCursorRight() { step(1, 0); }
    void moveCursorUp() { step(0, -1); }
    void moveCursorDown() { step(0, 1); }

  private:
    void step(int dx, int dy);

    ProgramState& state_;
    KeyboardMouse& input_;
    Link& link_;
};

}  // namespace zintor
