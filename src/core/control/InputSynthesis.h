#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "ports/EventLoop.h"
#include "ports/KeyboardMouse.h"

namespace zintor {

// Key presses, mouse buttons and typed text, injected into whatever window has the focus.
class InputSynthesis {
  public:
    InputSynthesis(KeyboardMouse& input, EventLoop& loop) : input_(input), loop_(loop) {}

    void sendKeyDown(std::uint8_t vk);
    void sendKeyUp(std::uint8_t vk);
    void sendKeyPress(std::uint8_t vk) { input_.keyPress(vk); }
    void sendLeftButtonDown();
    void sendLeftButtonUp();
    void sendRightButtonDown();
    void sendRightButtonUp();

    // Lets go of every key and mouse button this program holds down.
    void releaseAll();

    // Types the letters and digits of `text` (capitals with Shift); every other character is
    // skipped. Pending events run after each character.
    void typeText(const std::string& text);

  private:
    KeyboardMouse& input_;
    EventLoop& loop_;
    std::bitset<256> keysDown_;
    bool leftDown_ = false;
    bool rightDown_ = false;
};

}  // namespace zintor
