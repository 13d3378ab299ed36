#pragma once

#include <string_view>

#include "core/link/transport/PhoneEvent.h"

namespace zintor {

// Phone key numbers that the key handlers treat specially.
inline constexpr int kKeyClear = 12;
inline constexpr int kKeyStar = 13;
inline constexpr int kKeyHash = 14;
inline constexpr int kKeyBack = 17;
inline constexpr int kKeyCursorLeft = 18;
inline constexpr int kKeyCursorRight = 19;
inline constexpr int kKeyCursorDown = 20;
inline constexpr int kKeyCursorUp = 21;
inline constexpr int kKeyUnknown = 99;

// Turns a keypad report ("+CKEV: 5,1") into a key number (99 when the code is unknown) and
// whether the key went down or up.
KeyEvent keyEventOf(std::string_view line);

// The code the phone reports key number `key` by ("" for a key it never reports: 12, 99).
std::string_view phoneCodeOf(int key);

}  // namespace zintor
