#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "core/ports/KeyboardMouse.h"
#include "core/ports/LogSink.h"
#include "platform/linux/WaylandKeymap.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace zintor {

// Keyboard and mouse input on a wlroots compositor (sway, Hyprland, labwc, river, ...) through its
// virtual keyboard and virtual pointer. The virtual keyboard types with the layout of the seat's
// keyboard (the default xkb layout while the seat has none), uploaded as its keymap; virtual keys
// become key symbols and then the keys of that layout, so letters come out as on X11. Wayland
// does not tell clients where the cursor is: it moves relatively. A character that layout lacks is
// typed on a layout of its own, handed over for that one key. A compositor that goes away is
// reported once and looked for again at most once a second.
class WaylandKeyboardMouse final : public KeyboardMouse {
  public:
    // An empty display name means WAYLAND_DISPLAY. Diagnostics go to standard error without a
    // callback.
    explicit WaylandKeyboardMouse(Diagnostic diagnostic = {}, std::string displayName = {});
    ~WaylandKeyboardMouse() override;
    WaylandKeyboardMouse(const WaylandKeyboardMouse&) = delete;
    WaylandKeyboardMouse& operator=(const WaylandKeyboardMouse&) = delete;

    // Connects now, saying nothing: true when the compositor offers both virtual devices, else
    // failure() tells why. Input calls connect (and report) by themselves.
    bool connect();
    const std::string& failure() const { return failure_; }

    void keyDown(std::uint8_t vk) override;
    void keyUp(std::uint8_t vk) override;
    // Down and up leave in one write.
    void keyPress(std::uint8_t vk) override;
    void leftButtonDown() override;
    void leftButtonUp() override;
    void rightButtonDown() override;
    void rightButtonUp() override;
    bool typeCharacter(char32_t character) override;
    // Always false: Wayland keeps the position from clients.
    bool getCursor(int& x, int& y) override;
    // Does nothing, for the same reason; moveCursorBy moves.
    void setCursor(int x, int y) override;
    void moveCursorBy(int dx, int dy) override;
    void wheel(int dx, int dy) override;

    // Registry and keyboard events (for the listeners).
    void onGlobal(wl_registry* registry, std::uint32_t name, const char* interface);
    void onKeymap(std::uint32_t format, int fd, std::uint32_t size);
    void onSeatCapabilities(std::uint32_t capabilities);

  private:
    // The connection with both devices, or false (the reason reported once). `forKeys`: with the
    // seat's latest layout.
    bool ready(bool forKeys = true);
    std::string open();
    void close();
    void report(const std::string& message) const;
    void readEvents();
    void flush();
    void uploadKeymap();
    // Hands `text` to the compositor as the virtual keyboard's layout.
    bool handOver(const std::string& text);
    void sendKeyCode(unsigned code, bool down);
    // Types `keysym` on a layout of one key, then gives the usual layout back.
    void typeOnOwnLayout(unsigned keysym);
    unsigned keyCode(std::uint8_t vk);
    void sendKey(std::uint8_t vk, bool down);
    void sendModifiers();
    void sendButton(unsigned button, bool down);

    Diagnostic diagnostic_;
    std::string displayName_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_keyboard* seatKeyboard_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    WaylandKeymap keymap_;
    std::string uploaded_;
    std::string failure_;
    bool keymapChanged_ = false;
    bool failureReported_ = false;
    std::chrono::steady_clock::time_point nextAttempt_{};
    std::bitset<256> reported_;
    std::array<unsigned, 256> heldCodes_{};
};

}  // namespace zintor
