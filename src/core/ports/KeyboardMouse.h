#pragma once

#include <cstdint>

namespace zintor {

// Synthetic input into whatever window has the focus. Key codes are Windows virtual-key codes
// (0..255); adapters translate them for their platform.
class KeyboardMouse {
  public:
    virtual ~KeyboardMouse() = default;
    virtual void keyDown(std::uint8_t vk) = 0;
    virtual void keyUp(std::uint8_t vk) = 0;
    // Down and up handed to the system as one unit: nothing can fall between them.
    virtual void keyPress(std::uint8_t vk) = 0;
    virtual void leftButtonDown() = 0;
    virtual void leftButtonUp() = 0;
    virtual void rightButtonDown() = 0;
    virtual void rightButtonUp() = 0;
    // Types one character as it is written (a Unicode code point: punctuation, accented letters,
    // any script), whatever the keyboard layout. False when this desktop's input cannot type it
    // (nothing was sent); true also when input is off for the moment, which the adapter reports.
    virtual bool typeCharacter(char32_t character) = 0;
    // Screen pixels. getCursor returns false when the position cannot be read.
    virtual bool getCursor(int& x, int& y) = 0;
    // The platform clips the position to the screen.
    virtual void setCursor(int x, int y) = 0;
    // Moves the cursor by (dx, dy) pixels from wherever it is: for platforms whose cursor
    // position cannot be read, and for those with exactRelativeMoves.
    virtual void moveCursorBy(int dx, int dy) = 0;
    // True when moveCursorBy adds to the position the cursor has at that moment, without pointer
    // acceleration, and clips like setCursor: reading, adding and setting in one call.
    virtual bool exactRelativeMoves() const { return false; }
    // Turns the mouse wheel by whole notches: dy > 0 towards the user (the page goes down),
    // dx > 0 to the right.
    virtual void wheel(int dx, int dy) = 0;
};

}  // namespace zintor
