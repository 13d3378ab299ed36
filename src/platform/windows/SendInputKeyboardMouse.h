#pragma once

#include "core/ports/KeyboardMouse.h"

namespace zintor {

// Keys and buttons with SendInput, the key map's virtual-key codes as they are (with the scan
// code the keyboard layout gives them, and the extended flag for the keys of the navigation
// block); characters as Unicode input (KEYEVENTF_UNICODE: any layout, any script); the cursor with
// GetCursorPos / SetCursorPos, kept on the virtual screen.
class SendInputKeyboardMouse : public KeyboardMouse {
  public:
    void keyDown(std::uint8_t vk) override;
    void keyUp(std::uint8_t vk) override;
    void keyPress(std::uint8_t vk) override;
    void leftButtonDown() override;
    void leftButtonUp() override;
    void rightButtonDown() override;
    void rightButtonUp() override;
    bool typeCharacter(char32_t character) override;
    bool getCursor(int& x, int& y) override;
    void setCursor(int x, int y) override;
    void moveCursorBy(int dx, int dy) override;
    void wheel(int dx, int dy) override;
};

}  // namespace zintor
