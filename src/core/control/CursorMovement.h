#pragma once

#include "ports/KeyboardMouse.h"
#include "shared/ProgramState.h"

namespace zintor {

// One step of the mouse cursor by mouseStep pixels.
class CursorMovement {
  public:
    CursorMovement(ProgramState& state, KeyboardMouse& input) : state_(state), input_(input) {}

    void moveCursorLeft() { step(-1, 0); }
    void moveCursorRight() { step(1, 0); }
    void moveCursorUp() { step(0, -1); }
    void moveCursorDown() { step(0, 1); }

  private:
    void step(int dx, int dy);

    ProgramState& state_;
    KeyboardMouse& input_;
};

}  // namespace zintor
