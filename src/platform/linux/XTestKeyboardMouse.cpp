#include "XTestKeyboardMouse.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>

#include "XTestKeySyms.h"

namespace zintor {

namespace {

constexpr unsigned kLeftButton = 1;
constexpr unsigned kRightButton = 3;
constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;
constexpr unsigned kWheelLeft = 6;
constexpr unsigned kWheelRight = 7;
constexpr int kLargestCoordinate = 32767;

}  // namespace

XTestKeyboardMouse::XTestKeyboardMouse(Diagnostic diagnostic, std::string displayName)
    : connection_(std::move(diagnostic), std::move(displayName)) {}

unsigned XTestKeyboardMouse::keyCode(Display* display, std::uint8_t vk) {
    if (connection_.mappingChanges() != mappingChangesSeen_) {
        // A key missing from the old layout may be on the new one: report afresh.
        mappingChangesSeen_ = connection_.mappingChanges();
        reported_.reset();
    }
    const KeySym keysym = xTestKeySymForVirtualKey(vk);
    const unsigned code = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
    if (code == 0 && !reported_.test(vk)) {
        reported_.set(vk);
        const std::string which = "virtual key " + std::to_string(vk);
        connection_.report(keysym == NoSymbol
                               ? "No key is sent for " + which + ": it has no X key symbol"
                               : "No key is sent for " + which + ": the keyboard layout has no \"" +
                                     XKeysymToString(keysym) + "\" key");
    }
    return code;
}

void XTestKeyboardMouse::sendKey(std::uint8_t vk, bool down) {
    XTestSigPipeBlock block;
    Display* display = connection_.display();
    if (display == nullptr) {
        return;
    }
    const unsigned code = !down && heldCodes_[vk] != 0 ? heldCodes_[vk] : keyCode(display, vk);
    heldCodes_[vk] = down ? code : 0;
    if (code != 0) {
        XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
        connection_.flush();
    }
}

void XTestKeyboardMouse::keyDown(std::uint8_t vk) {
    sendKey(vk, true);
}

void XTestKeyboardMouse::keyUp(std::uint8_t vk) {
    sendKey(vk, false);
}

void XTestKeyboardMouse::keyPress(std::uint8_t vk) {
    XTestSigPipeBlock block;
    Display* display = connection_.display();
    if (display == nullptr) {
        return;
    }
    if (const unsigned code = keyCode(display, vk)) {
        XGrabServer(display);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XUngrabServer(display);
        connection_.flush();
    }
}

void XTestKeyboardMouse::sendButton(unsigned button, bool down) {
    XTestSigPipeBlock block;
    if (Display* display = connection_.pointerDisplay()) {
        XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
        connection_.flush();
    }
}

void XTestKeyboardMouse::leftButtonDown() {
    sendButton(kLeftButton, true);
}

void XTestKeyboardMouse::leftButtonUp() {
    sendButton(kLeftButton, false);
}

void XTestKeyboardMouse::rightButtonDown() {
    sendButton(kRightButton, true);
}

void XTestKeyboardMouse::rightButtonUp() {
    sendButton(kRightButton, false);
}

bool XTestKeyboardMouse::getCursor(int& x, int& y) {
    XTestSigPipeBlock block;
    Display* display = connection_.pointerDisplay();
    if (display == nullptr) {
        return false;
    }
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned mask = 0;
    const bool sameScreen = XQueryPointer(display, DefaultRootWindow(display), &root, &child,
                                          &rootX, &rootY, &windowX, &windowY, &mask);
    connection_.flush();
    if (!sameScreen || !connection_.isOpen()) {
        return false;
    }
    x = rootX;
    y = rootY;
    return true;
}

void XTestKeyboardMouse::setCursor(int x, int y) {
    XTestSigPipeBlock block;
    Display* display = connection_.pointerDisplay();
    if (display == nullptr) {
        return;
    }
    // The server keeps the pointer on the screens, whatever their layout at the moment; the
    // protocol carries 16-bit coordinates, so larger values must not wrap around on the way.
    x = std::clamp(x, 0, kLargestCoordinate);
    y = std::clamp(y, 0, kLargestCoordinate);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    connection_.flush();
}

void XTestKeyboardMouse::moveCursorBy(int dx, int dy) {
    XTestSigPipeBlock block;
    if (Display* display = connection_.pointerDisplay()) {
        // Straight through xcb, which Xlib runs on: one write, where Xlib's flush would also
        // look for events (two more system calls at every step of a held direction key).
        // 16 bits on the way as well; any screen is smaller than the largest step.
        constexpr std::uint8_t kRelative = 1;
        xcb_test_fake_input(
            XGetXCBConnection(display), XCB_MOTION_NOTIFY, kRelative, XCB_CURRENT_TIME, XCB_NONE,
            static_cast<std::int16_t>(std::clamp(dx, -kLargestCoordinate, kLargestCoordinate)),
            static_cast<std::int16_t>(std::clamp(dy, -kLargestCoordinate, kLargestCoordinate)), 0);
        connection_.flushXcb();
    }
}

void XTestKeyboardMouse::wheel(int dx, int dy) {
    XTestSigPipeBlock block;
    Display* display = connection_.pointerDisplay();
    if (display == nullptr) {
        return;
    }
    const auto turn = [display](unsigned button, int notches) {
        for (int i = 0; i < notches; ++i) {
            XTestFakeButtonEvent(display, button, True, CurrentTime);
            XTestFakeButtonEvent(display, button, False, CurrentTime);
        }
    };
    turn(dy < 0 ? kWheelUp : kWheelDown, std::abs(dy));
    turn(dx < 0 ? kWheelLeft : kWheelRight, std::abs(dx));
    connection_.flush();
}

}  // namespace zintor
