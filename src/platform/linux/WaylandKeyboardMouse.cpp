#include "platform/linux/WaylandKeyboardMouse.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/linux/XTestKeySyms.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace zintor {

namespace {

constexpr std::chrono::seconds kRetryPause{1};
// The Linux key code of the one key of the layout that types a character the usual layout lacks.
constexpr unsigned kOwnKey = KEY_F24;

std::uint32_t timestamp() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

WaylandKeyboardMouse* self(void* data) {
    return static_cast<WaylandKeyboardMouse*>(data);
}

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) { self(data)->onGlobal(registry, name, interface); },
    [](void*, wl_registry*, std::uint32_t) {},
};

const wl_seat_listener kSeatListener = {
    [](void* data, wl_seat*, std::uint32_t capabilities) {
        self(data)->onSeatCapabilities(capabilities);
    },
    [](void*, wl_seat*, const char*) {},
};

// Only the layout matters here: the seat's keyboard never has one of our surfaces in focus.
const wl_keyboard_listener kKeyboardListener = {
    [](void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
        self(data)->onKeymap(format, fd, size);
    },
    [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
       std::uint32_t) {},
    [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
};

}  // namespace

WaylandKeyboardMouse::WaylandKeyboardMouse(Diagnostic diagnostic, std::string displayName)
    : diagnostic_(std::move(diagnostic)), displayName_(std::move(displayName)) {}

WaylandKeyboardMouse::~WaylandKeyboardMouse() {
    close();
}

void WaylandKeyboardMouse::report(const std::string& message) const {
    if (diagnostic_) {
        diagnostic_(message);
    } else {
        std::cerr << "zintor: " << message << std::endl;
    }
}

bool WaylandKeyboardMouse::connect() {
    if (display_ == nullptr) {
        failure_ = open();
    }
    return display_ != nullptr;
}

void WaylandKeyboardMouse::onGlobal(wl_registry* registry, std::uint32_t name,
                                    const char* interface) {
    const std::string_view which = interface;
    if (which == wl_seat_interface.name && seat_ == nullptr) {
        seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(seat_, &kSeatListener, this);
    } else if (which == zwp_virtual_keyboard_manager_v1_interface.name) {
        keyboardManager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
        pointerManager_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void WaylandKeyboardMouse::onSeatCapabilities(std::uint32_t capabilities) {
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && seatKeyboard_ == nullptr) {
        seatKeyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(seatKeyboard_, &kKeyboardListener, this);
    }
}

void WaylandKeyboardMouse::onKeymap(std::uint32_t format, int fd, std::uint32_t size) {
    // A new layout of the seat (a layout switch, another keyboard used): type with it from now on.
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data != MAP_FAILED) {
            const char* text = static_cast<const char*>(data);
            if (keymap_.loadText(std::string(text, strnlen(text, size))) &&
                keymap_.text() != uploaded_) {
                keymapChanged_ = true;
            }
            munmap(data, size);
        }
    }
    ::close(fd);
}

std::string WaylandKeyboardMouse::open() {
    const char* name = displayName_.empty() ? nullptr : displayName_.c_str();
    display_ = wl_display_connect(name);
    const char* shown = name != nullptr ? name : std::getenv("WAYLAND_DISPLAY");
    const std::string shownName =
        "Wayland display \"" + std::string(shown != nullptr ? shown : "wayland-0") + "\"";
    if (display_ == nullptr) {
        return "cannot connect to " + shownName;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    // Globals, then the seat's capabilities, then the seat keyboard's layout.
    for (int i = 0; i < 3; ++i) {
        if (wl_display_roundtrip(display_) < 0) {
            close();
            return shownName + " went away while connecting";
        }
    }
    if (keyboardManager_ == nullptr || pointerManager_ == nullptr || seat_ == nullptr) {
        close();
        return shownName +
               " offers no virtual keyboard and pointer (zwp_virtual_keyboard_v1, "
               "zwlr_virtual_pointer_v1)";
    }
    if (!keymap_.loaded() && !keymap_.loadDefault()) {
        close();
        return "no keyboard layout can be made (xkbcommon's data missing?)";
    }
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboardManager_, seat_);
    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager_, seat_);
    uploaded_.clear();
    keymapChanged_ = true;
    uploadKeymap();
    if (wl_display_roundtrip(display_) < 0) {
        close();
        return shownName + " refused the virtual keyboard or pointer";
    }
    return {};
}

void WaylandKeyboardMouse::close() {
    if (display_ == nullptr) {
        return;
    }
    if (keyboard_ != nullptr) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    }
    if (pointer_ != nullptr) {
        zwlr_virtual_pointer_v1_destroy(pointer_);
    }
    if (pointerManager_ != nullptr) {
        zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    }
    if (keyboardManager_ != nullptr) {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keyboardManager_));
    }
    if (seatKeyboard_ != nullptr) {
        wl_keyboard_destroy(seatKeyboard_);
    }
    if (seat_ != nullptr) {
        wl_seat_destroy(seat_);
    }
    wl_registry_destroy(registry_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
    display_ = nullptr;
    registry_ = nullptr;
    seat_ = nullptr;
    seatKeyboard_ = nullptr;
    keyboardManager_ = nullptr;
    pointerManager_ = nullptr;
    keyboard_ = nullptr;
    pointer_ = nullptr;
    heldCodes_.fill(0);
}

bool WaylandKeyboardMouse::ready(bool forKeys) {
    if (display_ != nullptr && wl_display_get_error(display_) != 0) {
        close();
        failureReported_ = true;
        nextAttempt_ = std::chrono::steady_clock::now() + kRetryPause;
        report(
            "Keyboard and mouse input is off: lost the connection to the Wayland compositor; "
            "trying again later");
    }
    if (display_ == nullptr) {
        const auto now = std::chrono::steady_clock::now();
        if (now < nextAttempt_) {
            return false;
        }
        nextAttempt_ = now + kRetryPause;
        const std::string failure = open();
        if (!failure.empty()) {
            if (!failureReported_) {
                failureReported_ = true;
                report("Keyboard and mouse input is off: " + failure);
            }
            return false;
        }
        if (failureReported_) {
            report("Keyboard and mouse input is on again: Wayland virtual keyboard and pointer");
        }
        failureReported_ = false;
    }
    if (!forKeys) {
        return true;  // layout changes can wait for the next key; a held cursor key steps often
    }
    readEvents();
    if (wl_display_get_error(display_) != 0) {
        return ready(true);  // reported and closed above
    }
    if (keymapChanged_) {
        uploadKeymap();
    }
    return true;
}

void WaylandKeyboardMouse::readEvents() {
    // Without blocking: only layout changes come in, and they may wait for the next key.
    while (wl_display_prepare_read(display_) != 0) {
        wl_display_dispatch_pending(display_);
    }
    pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&readable, 1, 0) > 0) {
        wl_display_read_events(display_);
    } else {
        wl_display_cancel_read(display_);
    }
    wl_display_dispatch_pending(display_);
}

void WaylandKeyboardMouse::flush() {
    wl_display_flush(display_);
}

void WaylandKeyboardMouse::uploadKeymap() {
    keymapChanged_ = false;
    const std::string& text = keymap_.text();
    if (text == uploaded_ || !handOver(text)) {
        return;
    }
    sendModifiers();    // a new layout starts with none; keys held keep theirs
    reported_.reset();  // a key missing from the old layout may be on this one
}

bool WaylandKeyboardMouse::handOver(const std::string& text) {
    // The compositor maps the file and reads it up to its NUL.
    const int fd = memfd_create("zintor-keymap", MFD_CLOEXEC);
    if (fd < 0 ||
        write(fd, text.c_str(), text.size() + 1) != static_cast<ssize_t>(text.size() + 1)) {
        report("Cannot hand the keyboard layout to the compositor: " +
               std::string(std::strerror(errno)));
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(text.size() + 1));
    ::close(fd);
    uploaded_ = text;
    return true;
}

unsigned WaylandKeyboardMouse::keyCode(std::uint8_t vk) {
    const unsigned long keysym = xTestKeySymForVirtualKey(vk);
    const unsigned code = keymap_.evdevCode(static_cast<unsigned>(keysym));
    if (code == 0 && !reported_.test(vk)) {
        reported_.set(vk);
        const std::string which = "virtual key " + std::to_string(vk);
        char name[64] = "";
        xkb_keysym_get_name(static_cast<xkb_keysym_t>(keysym), name, sizeof name);
        report(keysym == 0 ? "No key is sent for " + which + ": it has no key symbol"
                           : "No key is sent for " + which + ": the keyboard layout has no \"" +
                                 name + "\" key");
    }
    return code;
}

void WaylandKeyboardMouse::sendKey(std::uint8_t vk, bool down) {
    if (!ready()) {
        return;
    }
    const unsigned code = !down && heldCodes_[vk] != 0 ? heldCodes_[vk] : keyCode(vk);
    heldCodes_[vk] = down ? code : 0;
    if (code != 0) {
        zwp_virtual_keyboard_v1_key(
            keyboard_, timestamp(), code,
            down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
        if (keymap_.noteKey(code, down)) {
            sendModifiers();
        }
        flush();
    }
}

void WaylandKeyboardMouse::sendModifiers() {
    const WaylandKeymap::Modifiers m = keymap_.modifiers();
    zwp_virtual_keyboard_v1_modifiers(keyboard_, m.depressed, m.latched, m.locked, m.group);
}

void WaylandKeyboardMouse::keyDown(std::uint8_t vk) {
    sendKey(vk, true);
}

void WaylandKeyboardMouse::keyUp(std::uint8_t vk) {
    sendKey(vk, false);
}

void WaylandKeyboardMouse::keyPress(std::uint8_t vk) {
    if (!ready()) {
        return;
    }
    if (const unsigned code = keyCode(vk)) {
        const std::uint32_t time = timestamp();
        zwp_virtual_keyboard_v1_key(keyboard_, time, code, WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(keyboard_, time, code, WL_KEYBOARD_KEY_STATE_RELEASED);
        // A modifier pressed and let go changes nothing in the end (Caps Lock aside).
        if (keymap_.noteKey(code, true) | keymap_.noteKey(code, false)) {
            sendModifiers();
        }
        flush();
    }
}

void WaylandKeyboardMouse::sendKeyCode(unsigned code, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, timestamp(), code,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (keymap_.noteKey(code, down)) {
        sendModifiers();
    }
}

bool WaylandKeyboardMouse::typeCharacter(char32_t character) {
    const auto keysym = static_cast<unsigned>(keySymForCharacter(character));
    if (keysym == 0) {
        return false;
    }
    if (!ready()) {
        return true;  // input is off, which has been said
    }
    const WaylandKeymap::Place place = keymap_.place(keysym);
    const unsigned shift = place.shifted ? keymap_.evdevCode(XKB_KEY_Shift_L) : 0;
    if (place.evdevCode != 0 && place.shifted == (shift != 0)) {
        shift != 0 ? sendKeyCode(shift, true) : void();
        sendKeyCode(place.evdevCode, true);
        sendKeyCode(place.evdevCode, false);
        shift != 0 ? sendKeyCode(shift, false) : void();
    } else {
        typeOnOwnLayout(keysym);
    }
    flush();
    return true;
}

void WaylandKeyboardMouse::typeOnOwnLayout(unsigned keysym) {
    // The keymap travels with the keys, in order: the application reads the key with the
    // one-key layout, and the usual layout comes back right after it.
    char name[64] = "";
    xkb_keysym_get_name(keysym, name, sizeof name);
    const std::string layout =
        "xkb_keymap {\n"
        "xkb_keycodes \"zintor\" { minimum = 8; maximum = 255; <CHAR> = " +
        std::to_string(kOwnKey + 8) +
        "; };\n"
        "xkb_types \"zintor\" { include \"complete\" };\n"
        "xkb_compat \"zintor\" { include \"complete\" };\n"
        "xkb_symbols \"zintor\" { key <CHAR> { [ " +
        name + " ] }; };\n};\n";
    if (!handOver(layout)) {
        return;
    }
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    const std::uint32_t time = timestamp();
    zwp_virtual_keyboard_v1_key(keyboard_, time, kOwnKey, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard_, time, kOwnKey, WL_KEYBOARD_KEY_STATE_RELEASED);
    if (handOver(keymap_.text())) {
        sendModifiers();
    }
}

void WaylandKeyboardMouse::sendButton(unsigned button, bool down) {
    if (!ready(false)) {
        return;
    }
    zwlr_virtual_pointer_v1_button(
        pointer_, timestamp(), button,
        down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer_);
    flush();
}

void WaylandKeyboardMouse::leftButtonDown() {
    sendButton(BTN_LEFT, true);
}

void WaylandKeyboardMouse::leftButtonUp() {
    sendButton(BTN_LEFT, false);
}

void WaylandKeyboardMouse::rightButtonDown() {
    sendButton(BTN_RIGHT, true);
}

void WaylandKeyboardMouse::rightButtonUp() {
    sendButton(BTN_RIGHT, false);
}

bool WaylandKeyboardMouse::getCursor(int&, int&) {
    return false;
}

void WaylandKeyboardMouse::setCursor(int, int) {}

void WaylandKeyboardMouse::moveCursorBy(int dx, int dy) {
    if (!ready(false)) {
        return;
    }
    // The compositor keeps the cursor on the outputs.
    zwlr_virtual_pointer_v1_motion(pointer_, timestamp(), wl_fixed_from_int(dx),
                                   wl_fixed_from_int(dy));
    zwlr_virtual_pointer_v1_frame(pointer_);
    flush();
}

void WaylandKeyboardMouse::wheel(int dx, int dy) {
    if (!ready(false)) {
        return;
    }
    // A wheel's notches, each worth 15 of the axis (as libinput reports a notch).
    const std::uint32_t time = timestamp();
    zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
    if (dy != 0) {
        zwlr_virtual_pointer_v1_axis_discrete(pointer_, time, WL_POINTER_AXIS_VERTICAL_SCROLL,
                                              wl_fixed_from_int(15 * dy), dy);
    }
    if (dx != 0) {
        zwlr_virtual_pointer_v1_axis_discrete(pointer_, time, WL_POINTER_AXIS_HORIZONTAL_SCROLL,
                                              wl_fixed_from_int(15 * dx), dx);
    }
    zwlr_virtual_pointer_v1_frame(pointer_);
    flush();
}

}  // namespace zintor
