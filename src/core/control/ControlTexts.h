#pragma once

// The texts of the key control part, kept in one place: what goes to the phone and what the key
// help and key-map notice windows show.

namespace zintor::control_texts {

// Keypad reporting off, then the phone's text input dialog (the key map's INPUT command).
inline constexpr const char* kKeypadReportingOff = "AT+CMER=0,0,0,0,0\r\n";
inline constexpr const char* kTextInputDialog = "AT*EAID=11,2,\"Enter\",\"->\",100\r\n";
inline constexpr int kInputCommandTimeoutMs = 1000;

inline constexpr const char* kKeyHelpCaption = "Zintor Key Help   -   ";
inline constexpr const char* kHelpForStar = "Shows help";
inline constexpr const char* kHelpForHash = "Change keymap";
inline constexpr const char* kHelpForBack = "Leave this function";
inline constexpr const char* kNoticeText = "Changed Key Map to";

}  // namespace zintor::control_texts
