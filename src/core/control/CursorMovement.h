#pragma once

#include "app/ProgramState.h"
#include "ports/KeyboardMouse.h"

namespace zintor {

class Link;

// One step of the mouse cursor by MouseStep pixels, followed by the MouseSpeed pause (events
// keep running during the pause).
class CursorMovement {
  public:
    CursorMovement(ProgramState& state, KeyboardMouse& input, Link& link)
        : state_(state), input_(input), link_(link) {}

    void MoveCursorLeft() { Step(-1, 0); }
    void MoveCursorRight() { Step(1, 0); }
    void MoveCursorUp() { Step(0, -1); }
    void MoveCursorDown() { Step(0, 1); }

  private:
    void Step(int dx, int dy);

    ProgramState& state_;
    KeyboardMouse& input_;
    Link& link_;
};

}  // namespace zintor
