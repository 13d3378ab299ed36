#pragma once

// The texts of the key control part, kept in one place: what goes to the phone and what the key
// help and key-map notice windows show.

namespace zintor::control_texts {

// The key map's INPUT command waits this long for each of its two commands (keypad reporting off,
// then the phone's text input dialog).
inline constexpr int kInputCommandTimeOut = 1000;

inline constexpr const char* kKeyHelpCaption = "Zintor Key Help   -   ";
inline constexpr const char* kHelpForStar = "Shows help";
inline constexpr const char* kHelpForHash = "Change keymap";
inline constexpr const char* kHelpForBack = "Leave this function";
inline constexpr const char* kNoticeText = "Changed Key Map to";
// Before the characters the desktop could not type.
inline constexpr const char* kUntyped = "Untyped: ";

}  // namespace zintor::control_texts
