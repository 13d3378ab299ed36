#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "ports/KeyboardMouse.h"

namespace zintor {

// Key presses, mouse buttons and typed text, injected into whatever window has the focus.
class InputSynthesis {
  public:
    explicit InputSynthesis(KeyboardMouse& input) : input_(input) {}

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
    // skipped.
    void typeText(const std::string& text);

  private:
    KeyboardMouse& input_;
    std::bitset<256> keysDown_;
    bool leftDown_ = false;
    bool rightDown_ = false;
};

}  // namespace zintor
