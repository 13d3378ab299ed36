#include "platform/linux/WaylandKeymap.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>

namespace zintor {

namespace {

// xkb key codes are Linux key codes plus 8.
constexpr unsigned kEvdevOffset = 8;

}  // namespace

WaylandKeymap::WaylandKeymap() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

WaylandKeymap::~WaylandKeymap() {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

bool WaylandKeymap::adopt(xkb_keymap* keymap) {
    if (keymap == nullptr) {
        return false;
    }
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (text == nullptr) {
        xkb_keymap_unref(keymap);
        return false;
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = xkb_state_new(keymap);
    // Keys still held stay held in the new layout (the compositor sends the layout back after
    // each upload, often between a Shift's press and its release).
    for (const unsigned code : down_) {
        xkb_state_update_key(state_, code + kEvdevOffset, XKB_KEY_DOWN);
    }
    text_ = text;
    std::free(text);
    codes_.clear();
    return true;
}

bool WaylandKeymap::loadText(const std::string& text) {
    return context_ != nullptr && adopt(xkb_keymap_new_from_buffer(
                                      context_, text.c_str(), text.size(),
                                      XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

bool WaylandKeymap::loadDefault() {
    // Empty names make xkbcommon take XKB_DEFAULT_RULES, _MODEL, _LAYOUT, ... as compositors do.
    return context_ != nullptr &&
           adopt(xkb_keymap_new_from_names(context_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

unsigned WaylandKeymap::evdevCode(unsigned keysym) {
    if (keymap_ == nullptr || keysym == XKB_KEY_NoSymbol) {
        return 0;
    }
    if (const auto known = codes_.find(keysym); known != codes_.end()) {
        return known->second;
    }
    unsigned found = 0;
    const xkb_keycode_t first =
        std::max<xkb_keycode_t>(xkb_keymap_min_keycode(keymap_), kEvdevOffset);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_level_index_t level = 0; found == 0 && level < 4; ++level) {
        for (xkb_keycode_t key = first; key <= last; ++key) {
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap_, key, 0, level, &syms);
            if (count == 1 && syms[0] == keysym) {
                found = key - kEvdevOffset;
                break;
            }
        }
    }
    codes_[keysym] = found;
    return found;
}

WaylandKeymap::Place WaylandKeymap::place(unsigned keysym) const {
    if (keymap_ == nullptr || keysym == XKB_KEY_NoSymbol) {
        return {};
    }
    const xkb_mod_index_t shiftIndex = xkb_keymap_mod_get_index(keymap_, XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t shift = shiftIndex == XKB_MOD_INVALID ? 0 : 1u << shiftIndex;
    const xkb_keycode_t first =
        std::max<xkb_keycode_t>(xkb_keymap_min_keycode(keymap_), kEvdevOffset);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_level_index_t level = 0; level < 2; ++level) {
        for (xkb_keycode_t key = first; key <= last; ++key) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, key, 0, level, &syms) != 1 ||
                syms[0] != keysym) {
                continue;
            }
            xkb_mod_mask_t masks[8];
            const std::size_t count =
                level == 0 ? 0
                           : xkb_keymap_key_get_mods_for_level(keymap_, key, 0, level, masks, 8);
            if (level == 0 ||
                (shift != 0 && std::find(masks, masks + count, shift) != masks + count)) {
                return {key - kEvdevOffset, level == 1};
            }
        }
    }
    return {};
}

bool WaylandKeymap::noteKey(unsigned evdevCode, bool down) {
    if (state_ == nullptr) {
        return false;
    }
    if (down) {
        down_.insert(evdevCode);
    } else {
        down_.erase(evdevCode);
    }
    const auto changed =
        xkb_state_update_key(state_, evdevCode + kEvdevOffset, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    return (changed & (XKB_STATE_MODS_EFFECTIVE | XKB_STATE_LAYOUT_EFFECTIVE)) != 0;
}

WaylandKeymap::Modifiers WaylandKeymap::modifiers() const {
    if (state_ == nullptr) {
        return {};
    }
    return {xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
            xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
            xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
            xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE)};
}

}  // namespace zintor
