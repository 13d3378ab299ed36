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

    void SendKeyDown(std::uint8_t vk);
    void SendKeyUp(std::uint8_t vk);
    void SendKeyPress(std::uint8_t vk) { input_.keyPress(vk); }
    void SendLeftButtonDown();
    void SendLeftButtonUp();
    void SendRightButtonDown();
    void SendRightButtonUp();

    // Lets go of every key and mouse button this program holds down.
    void ReleaseAll();

    // Types the letters and digits of `text` (capitals with Shift); every other character is
    // skipped. Pending events run after each character.
    void TypeText(const std::string& text);

  private:
    KeyboardMouse& input_;
    EventLoop& loop_;
    std::bitset<256> keysDown_;
    bool leftDown_ = false;
    bool rightDown_ = false;
};

}  // namespace zintor
