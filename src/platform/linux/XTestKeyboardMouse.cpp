#include "platform/linux/XTestKeyboardMouse.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/linux/XTestKeySyms.h"
#include "platform/linux/XTestSigPipeBlock.h"

namespace zintor {

namespace {

constexpr unsigned kLeftButton = 1;
constexpr unsigned kRightButton = 3;
constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;
constexpr unsigned kWheelLeft = 6;
constexpr unsigned kWheelRight = 7;
constexpr int kLargestCoordinate = 32767;
// Long enough for a busy application to read its key events with the borrowed keys in place.
constexpr std::chrono::seconds kBorrowedFor{3};

struct KeyPlace {
    unsigned code = 0;  // 0: on no key
    bool shifted = false;
};

// The key type reaches its second level with Shift alone.
bool secondLevelWithShift(const XkbKeyTypeRec& type) {
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (entry.active && entry.level == 1 && entry.mods.mask == ShiftMask) {
            return true;
        }
    }
    return false;
}

// The key that gives `keysym` in the keyboard's current group, plain or with Shift (a plain key
// wins), as the server's map has it now.
KeyPlace findKey(Display* display, KeySym keysym) {
    XkbStateRec state{};
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (xkb == nullptr || XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        XkbFreeKeyboard(xkb, 0, True);
        return {};
    }
    KeyPlace found;
    for (int code = xkb->min_key_code; code <= xkb->max_key_code && !found.code; ++code) {
        const int groups = XkbKeyNumGroups(xkb, code);
        const int group = groups > 0 ? state.group % groups : 0;
        if (groups > 0 && XkbKeySymEntry(xkb, code, 0, group) == keysym) {
            found = {static_cast<unsigned>(code), false};
        }
    }
    for (int code = xkb->min_key_code; code <= xkb->max_key_code && !found.code; ++code) {
        const int groups = XkbKeyNumGroups(xkb, code);
        const int group = groups > 0 ? state.group % groups : 0;
        if (groups > 0 && XkbKeyGroupWidth(xkb, code, group) > 1 &&
            XkbKeySymEntry(xkb, code, 1, group) == keysym &&
            secondLevelWithShift(*XkbKeyKeyType(xkb, code, group))) {
            found = {static_cast<unsigned>(code), true};
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return found;
}

}  // namespace

XTestKeyboardMouse::XTestKeyboardMouse(Diagnostic diagnostic, std::string displayName)
    : connection_(std::move(diagnostic), std::move(displayName)) {}

XTestKeyboardMouse::~XTestKeyboardMouse() {
    returnBorrowedKeys();
}

unsigned XTestKeyboardMouse::keyCode(Display* display, std::uint8_t vk) {
    if (connection_.mappingChanges() != mappingChangesSeen_) {
        // A key missing from the old layout may be on the new one: report afresh.
        mappingChangesSeen_ = connection_.mappingChanges();
        reported_.reset();
    }
    returnBorrowedKeysWhenIdle(display);
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
        tap(display, code, false);
    }
}

void XTestKeyboardMouse::tap(Display* display, unsigned code, bool shifted) {
    const unsigned shift = shifted ? XKeysymToKeycode(display, XK_Shift_L) : 0;
    XGrabServer(display);
    shift != 0 ? void(XTestFakeKeyEvent(display, shift, True, CurrentTime)) : void();
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    shift != 0 ? void(XTestFakeKeyEvent(display, shift, False, CurrentTime)) : void();
    XUngrabServer(display);
    connection_.flush();
}

bool XTestKeyboardMouse::typeCharacter(char32_t character) {
    const KeySym keysym = keySymForCharacter(character);
    if (keysym == NoSymbol) {
        return false;
    }
    XTestSigPipeBlock block;
    Display* display = connection_.display();
    if (display == nullptr) {
        return true;  // input is off, which the connection has said
    }
    returnBorrowedKeysWhenIdle(display);
    KeyPlace place = findKey(display, keysym);
    if (place.shifted && XKeysymToKeycode(display, XK_Shift_L) == 0) {
        place = {};
    }
    if (place.code == 0) {
        place = {borrowKeyCode(display, keysym), false};
    }
    if (place.code == 0 || !connection_.isOpen()) {
        return !connection_.isOpen();
    }
    tap(display, place.code, place.shifted);
    return true;
}

unsigned XTestKeyboardMouse::borrowKeyCode(Display* display, unsigned long keysym) {
    unsigned code = 0;
    if (XkbDescPtr xkb = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd)) {
        // From the top: the codes past the keyboard's keys are the ones no key sends.
        for (int candidate = xkb->max_key_code; candidate >= xkb->min_key_code && !code;
             --candidate) {
            code = XkbKeyNumSyms(xkb, candidate) == 0 ? static_cast<unsigned>(candidate) : 0;
        }
        XkbFreeKeyboard(xkb, 0, True);
    }
    if (code == 0 && !borrowed_.empty()) {  // all taken: the one borrowed longest ago
        code = borrowed_.front().code;
        borrowed_.erase(borrowed_.begin());
    }
    if (code == 0) {
        return 0;
    }
    KeySym symbols[] = {keysym, keysym};  // with and without Shift
    XChangeKeyboardMapping(display, static_cast<int>(code), 2, symbols, 1);
    XSync(display, False);
    borrowed_.push_back({code, keysym});
    lastBorrowed_ = std::chrono::steady_clock::now();
    return code;
}

void XTestKeyboardMouse::returnBorrowedKeys() {
    XTestSigPipeBlock block;
    if (!borrowed_.empty() && connection_.isOpen()) {
        if (Display* display = connection_.pointerDisplay()) {
            returnBorrowedKeys(display);
        }
    }
    borrowed_.clear();
}

void XTestKeyboardMouse::returnBorrowedKeysWhenIdle(Display* display) {
    if (!borrowed_.empty() && std::chrono::steady_clock::now() - lastBorrowed_ >= kBorrowedFor) {
        returnBorrowedKeys(display);
    }
}

void XTestKeyboardMouse::returnBorrowedKeys(Display* display) {
    XkbDescPtr xkb = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    for (const Borrowed& key : borrowed_) {
        // Only while the key still has the borrowed symbol: a new layout may have given it one.
        if (xkb != nullptr && XkbKeyNumSyms(xkb, key.code) > 0 &&
            XkbKeySymEntry(xkb, key.code, 0, 0) == key.keysym) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, static_cast<int>(key.code), 1, &none, 1);
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    borrowed_.clear();
    XSync(display, False);  // done when this returns, as the borrowing was
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
