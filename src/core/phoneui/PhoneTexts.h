#pragma once

// Every text the phone menus show, in one place. They are sent byte for byte.

namespace zintor::phone_texts {

inline constexpr const char* kMainTitle = "Zintor";
inline constexpr const char* kMoveMouse = "Move Mouse";
inline constexpr const char* kApplication = "Application";
inline constexpr const char* kWinamp = "WinAMP";
inline constexpr const char* kUsb = "USB";
inline constexpr const char* kAbout = "About";

inline constexpr const char* kApplicationTitle = "Application";
inline constexpr const char* kUnknownApplication = "Unknown";
inline constexpr const char* kNoApplication =
    "No application available - you need to add the application path in settings";

inline constexpr const char* kUsbReset = "Reset";
inline constexpr const char* kUsbNoticeTitle = "Zintor - USB board";
inline constexpr const char* kUsbCannotOpen =
    "The K8055 USB board cannot be opened, so its outputs do not change. Check that it is plugged "
    "in and that you may use it (see the README's udev rule).";

// Shown instead of entering key control when KeyMap.xml gave no key map.
inline constexpr const char* kNoKeyMap =
    "No key map loaded - fix or add KeyMap.xml and restart Zintor";

inline constexpr const char* kAboutDescription = "phone remote control for your PC";

// Pop-up timeouts, as the phone takes them.
inline constexpr int kErrorPopUpTimeOut = 80;
inline constexpr int kAboutTimeOut = 100;

// The AT line of the USB menu is sent directly, not through the sub-menu command.
inline constexpr int kUsbMenuTimeOut = 500;

}  // namespace zintor::phone_texts
