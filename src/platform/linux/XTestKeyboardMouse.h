#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ports/KeyboardMouse.h"
#include "core/ports/LogSink.h"
#include "platform/linux/XTestConnection.h"

namespace zintor {

// Keyboard and mouse input on an X server through the XTEST extension. Virtual-key codes become
// X key symbols and then the key codes of the keyboard layout in use at the time of the call, so
// letters and digits come out right on any layout. Without an X display (for instance in a Wayland
// session without X access) it says so once through the diagnostic callback and does nothing.
// Characters are typed with the key (and Shift) that gives them on the current layout; one the
// layout lacks gets a key code that has no symbols, borrowed for a while: the application must
// still find the character on that key when it reads the key event. Borrowed keys get their
// empty mapping back once typing has paused for a few seconds, and when the adapter ends.
class XTestKeyboardMouse final : public KeyboardMouse {
  public:
    // Diagnostics go to standard error when no callback is given. An empty display name means the
    // DISPLAY environment variable.
    explicit XTestKeyboardMouse(Diagnostic diagnostic = {}, std::string displayName = {});
    ~XTestKeyboardMouse() override;
    XTestKeyboardMouse(const XTestKeyboardMouse&) = delete;
    XTestKeyboardMouse& operator=(const XTestKeyboardMouse&) = delete;

    void keyDown(std::uint8_t vk) override;
    void keyUp(std::uint8_t vk) override;
    // Down and up go out in one write inside a server grab, so no other client's input can fall
    // between them.
    void keyPress(std::uint8_t vk) override;
    void leftButtonDown() override;
    void leftButtonUp() override;
    void rightButtonDown() override;
    void rightButtonUp() override;
    bool typeCharacter(char32_t character) override;
    // Gives the borrowed key codes their empty mapping back now.
    void returnBorrowedKeys();
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
    // Presses and releases `code` (with Shift around it when `shifted`) in one server grab.
    void tap(_XDisplay* display, unsigned code, bool shifted);
    // A key code with no symbols, now giving `keysym`; 0 when there is none.
    unsigned borrowKeyCode(_XDisplay* display, unsigned long keysym);
    void returnBorrowedKeys(_XDisplay* display);
    void returnBorrowedKeysWhenIdle(_XDisplay* display);

    XTestConnection connection_;
    std::bitset<256> reported_;
    // The key code each held virtual key went down with: its release must lift that very key,
    // even when the layout changed in between.
    std::array<unsigned, 256> heldCodes_{};
    unsigned mappingChangesSeen_ = 0;
    struct Borrowed {
        unsigned code;
        unsigned long keysym;
    };
    std::vector<Borrowed> borrowed_;  // oldest first
    std::chrono::steady_clock::time_point lastBorrowed_{};
};

}  // namespace zintor
