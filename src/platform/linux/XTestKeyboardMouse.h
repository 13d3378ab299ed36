#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "XTestConnection.h"
#include "ports/KeyboardMouse.h"
#include "ports/LogSink.h"

namespace zintor {

// Keyboard and mouse input on an X server through the XTEST extension. Virtual-key codes become
// X key symbols and then the key codes of the keyboard layout in use at the time of the call, so
// letters and digits come out right on any layout. Without an X display (for instance in a Wayland
// session without X access) it says so once through the diagnostic callback and does nothing.
class XTestKeyboardMouse final : public KeyboardMouse {
  public:
    // Diagnostics go to standard error when no callback is given. An empty display name means the
    // DISPLAY environment variable.
    explicit XTestKeyboardMouse(Diagnostic diagnostic = {}, std::string displayName = {});

    void keyDown(std::uint8_t vk) override;
    void keyUp(std::uint8_t vk) override;
    // Down and up go out in one write inside a server grab, so no other client's input can fall
    // between them.
    void keyPress(std::uint8_t vk) override;
    void leftButtonDown() override;
    void leftButtonUp() override;
    void rightButtonDown() override;
    void rightButtonUp() override;
    bool getCursor(int& x, int& y) override;
    void setCursor(int x, int y) override;
    // The server adds the step to where the pointer is at that moment (whoever put it there),
    // unaccelerated, and keeps it on the screens: no round trip to read the position first.
    void moveCursorBy(int dx, int dy) override;
    // Notches as clicks of buttons 4 and 5 (up, down), 6 and 7 (left, right), as X wheels send.
    void wheel(int dx, int dy) override;
    bool exactRelativeMoves() const override { return true; }

  private:
    // The key code of `vk` on the current layout, 0 when there is none (reported once per code).
    unsigned keyCode(_XDisplay* display, std::uint8_t vk);
    void sendKey(std::uint8_t vk, bool down);
    void sendButton(unsigned button, bool down);

    XTestConnection connection_;
    std::bitset<256> reported_;
    // The key code each held virtual key went down with: its release must lift that very key,
    // even when the layout changed in between.
    std::array<unsigned, 256> heldCodes_{};
    unsigned mappingChangesSeen_ = 0;
};

}  // namespace zintor
