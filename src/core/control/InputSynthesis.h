#pragma once

#include <cstdint>
#include <string>

#include "ports/EventLoop.h"
#include "ports/KeyboardMouse.h"

namespace zintor {

// Key presses, mouse buttons and typed text, injected into whatever window has the focus.
class InputSynthesis {
  public:
    InputSynthesis(KeyboardMouse& input, EventLoop& loop) : input_(input), loop_(loop) {}

    void SendKeyDown(std::uint8_t vk) { input_.keyDown(vk); }
    void SendKeyUp(std::uint8_t vk) { input_.keyUp(vk); }
    void SendKeyPress(std::uint8_t vk) { input_.keyPress(vk); }
    void SendLeftButtonDown() { input_.leftButtonDown(); }
    void SendLeftButtonUp() { input_.leftButtonUp(); }
    void SendRightButtonDown() { input_.rightButtonDown(); }
    void SendRightButtonUp() { input_.rightButtonUp(); }

    // Types the letters and digits of `text` (capitals with Shift); every other character is
    // skipped. Pending events run after each character.
    void TypeText(const std::string& text);

  private:
    KeyboardMouse& input_;
    EventLoop& loop_;
};

}  // namespace zintor
