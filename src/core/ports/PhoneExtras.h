#pragma once

#include <string>
#include <vector>

namespace zintor {

// A phone key and what it does in the key map in use ("" when it does nothing there).
struct KeyFunction {
    std::string code;  // as the phone reports it: "5", "*", ":R", "[" ...
    std::string function;
};

// What the user does on a phone that has a touch screen and a keyboard of its own (the web
// phone), beyond its keypad. The program acts on it only in the key-control mode.
class PhoneExtrasEvents {
  public:
    virtual ~PhoneExtrasEvents() = default;
    // A finger moved on the touch surface by (dx, dy) of the phone's screen points.
    virtual void touchMoved(int dx, int dy) = 0;
    // A tap: one finger clicks the left button, two fingers the right one.
    virtual void touchTapped(bool twoFingers) = 0;
    // Two fingers dragged by (dx, dy) wheel notches (positive: down, right).
    virtual void touchScrolled(int dx, int dy) = 0;
    // Touch-and-hold holds the left button down (a drag) until the finger lifts.
    virtual void touchHeld(bool down) = 0;
    // What the phone's keyboard typed (UTF-8): "\b" is Backspace, "\n" Enter.
    virtual void keyboardTyped(const std::string& text) = 0;
};

// What such a phone shows beyond the accessory commands. A phone on a serial line has none of it
// (NoPhoneExtras.h).
class PhoneExtras {
  public:
    virtual ~PhoneExtras() = default;
    virtual void setListener(PhoneExtrasEvents* events) = 0;
    // The key map the key-control mode uses now, and what every key does in it.
    virtual void showKeyFunctions(const std::string& keyMap,
                                  const std::vector<KeyFunction>& keys) = 0;
    // The key help is shown on the PC (true) or no longer (false).
    virtual void showKeyHelp(bool shown) = 0;
};

}  // namespace zintor
