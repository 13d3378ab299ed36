#pragma once

#include <map>
#include <set>
#include <string>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace zintor {

// The keyboard layout the virtual keyboard types with: an xkb keymap, its text as it is uploaded
// to the compositor, and the key that gives a key symbol on it.
class WaylandKeymap {
  public:
    WaylandKeymap();
    ~WaylandKeymap();
    WaylandKeymap(const WaylandKeymap&) = delete;
    WaylandKeymap& operator=(const WaylandKeymap&) = delete;

    // Reads a keymap in xkb's text format; false (keeping the old one) when it cannot be read.
    bool loadText(const std::string& text);
    // The layout a compositor uses by default: XKB_DEFAULT_LAYOUT and its siblings, else "us".
    bool loadDefault();
    bool loaded() const { return keymap_ != nullptr; }
    // The keymap as xkb writes it out, NUL not included.
    const std::string& text() const { return text_; }
    // The Linux (evdev) key code of the key that gives `keysym` in the first layout, 0 when
    // there is none. Like X's key lookup, a symbol on the plain level of some key wins over one
    // that needs Shift or AltGr.
    unsigned evdevCode(unsigned keysym);
    // The key that gives `keysym` in the first layout, plain or with Shift (a plain key wins);
    // code 0 when there is none.
    struct Place {
        unsigned evdevCode = 0;
        bool shifted = false;
    };
    Place place(unsigned keysym) const;

    // The modifier state of the keys sent so far. A virtual keyboard's keys do not change the
    // compositor's view of the modifiers: it is told them with each change.
    struct Modifiers {
        unsigned depressed = 0, latched = 0, locked = 0, group = 0;
        bool operator==(const Modifiers&) const = default;
    };
    // Notes a key going down or up; true when the modifiers changed with it.
    bool noteKey(unsigned evdevCode, bool down);
    Modifiers modifiers() const;

  private:
    bool adopt(xkb_keymap* keymap);

    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    std::string text_;
    std::map<unsigned, unsigned> codes_;
    std::set<unsigned> down_;  // evdev codes of the keys held now
};

}  // namespace zintor
