#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "core/ports/KeyboardMouse.h"

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

    // Types `text` (UTF-8) as written: letters and digits as their keys (capitals with Shift),
    // Backspace, Tab and line breaks (CR, LF or both) as their keys, every other character as
    // the desktop's input enters it. Returns the characters that the
    // desktop cannot type, each once, in order ("" when everything was typed).
    std::string typeText(const std::string& text);

  private:
    KeyboardMouse& input_;
    std::bitset<256> keysDown_;
    bool leftDown_ = false;
    bool rightDown_ = false;
};

// What the phone shows when some characters were not typed: "Untyped: " and the characters, each
// outside ISO 8859-1 (which the phone shows) or a control character named as U+XXXX. Empty when
// `untyped` is.
std::string untypedNotice(const std::string& untyped);

}  // namespace zintor
