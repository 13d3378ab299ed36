#pragma once

#include <cstdint>
#include <limits>

#include "core/ports/KeyboardMouse.h"

namespace zintor {

// One step of the mouse cursor, and how many pixels a step makes: 1 when a direction key goes
// down, one more every 300 ms while it is held.
class CursorMovement {
  public:
    explicit CursorMovement(KeyboardMouse& input) : input_(input) {}

    void moveCursorLeft() { step(-1, 0); }
    void moveCursorRight() { step(1, 0); }
    void moveCursorUp() { step(0, -1); }
    void moveCursorDown() { step(0, 1); }

    void resetStep() { pixels_ = 1; }
    void accelerate() {
        if (pixels_ < std::numeric_limits<std::int16_t>::max()) {
            ++pixels_;
        }
    }
    int pixelsPerStep() const { return pixels_; }

  private:
    void step(int dx, int dy);

    KeyboardMouse& input_;
    std::int16_t pixels_ = 1;
};

}  // namespace zintor
