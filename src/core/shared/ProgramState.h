#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/keymap/KeyMapRecords.h"
#include "core/shared/ComPortInfo.h"

namespace zintor {

// The screen the phone shows, as far as it is one of the program's: the events from the phone
// mean what they mean on it.
enum class Screen {
    kMainMenu,  // the main menu, or none of the program's screens: a menu choice is the main menu's
    kApplicationMenu,
    kKeyControl,  // the keypad drives the PC through the key maps
    kTextInput,
    kPlayerMenu,    // the media player's playlist
    kPlayerStatus,  // the media player's status dialog, the keypad driving the player
    kErrorPopUp,
    kAbout,
    kUsbMenu,
};

// Everything the program shares between its parts: one instance, owned by Program.
struct ProgramState {
    // Link
    bool connected = false;
    bool supervisionPaused = false;
    std::vector<ComPortInfo> portList;
    bool logEnabled = false;

    // Settings
    int comPort = 1;
    bool autoConnect = true;
    std::array<std::string, 9> appName;
    std::array<std::string, 10> appPath;  // [9] is playerPath
    int lastKeyMap = 0;
    // Window positions, pixels (the settings file keeps them in twips).
    int mainLeft = 0, mainTop = 0, settingLeft = 0, settingTop = 0;
    int mouseSpeed = 5;

    const std::string& playerPath() const { return appPath[9]; }

    // Phone screens
    Screen screen = Screen::kMainMenu;

    // Key maps
    std::array<std::string, 24> keyNames;
    std::vector<KeyMap> keyMaps;
    int currentKeyMap = 0;
    bool specialKeyRepeating = false;

    // Cursor
    bool mouseMoving = false;

    // Media player
    bool playerFound = false;  // the last search found the player
    bool playerRepeatVolume = false;

    // Mixer
    bool volumeStepping = false;

    // USB board
    std::array<USBOutput, 8> usbOutputs;
    bool usbOpen = false;
    bool usbBoardPresent = false;

    // Tray
    int iconFrame = 101;
};

// Leaving a key screen ends the hold loops its keys started: their releases go elsewhere now,
// even when the same screen is entered again before a loop looks at its mode.
inline void endHoldLoops(ProgramState& s) {
    s.mouseMoving = s.specialKeyRepeating = s.volumeStepping = s.playerRepeatVolume = false;
}

// The phone has left whatever screen of the program's it showed.
inline void leaveScreen(ProgramState& s) {
    s.screen = Screen::kMainMenu;
    endHoldLoops(s);
}

// The phone has left `screen`, if that is the one it showed.
inline void leaveScreenIfShown(ProgramState& s, Screen screen) {
    if (s.screen == screen) {
        s.screen = Screen::kMainMenu;
    }
}

}  // namespace zintor
