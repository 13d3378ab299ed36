#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "keymap/KeyMapRecords.h"
#include "ports/PortRegistry.h"

namespace zintor {

struct ComPortInfo {
    std::string device;
    PortKind kind = PortKind::Cable;
    std::int16_t port = 0;
    bool tryAutomatically = true;  // see RegisteredPort
    std::string label{};           // see RegisteredPort
};

enum ModeIndex {
    ModeApplicationMenu = 0,
    ModeKeyControl = 1,
    ModeTextInput = 2,
    ModeWinampMenu = 3,
    ModeWinampStatus = 4,
    ModeErrorPopUp = 5,
    ModeAbout = 6,
    ModeUSBMenu = 7,
};

// Everything the program shares between its parts: one instance, owned by Program.
struct ProgramState {
    // Link
    bool connected = false;
    bool supervisionPaused = false;
    std::vector<ComPortInfo> portList;
    bool logEnabled = false;
    std::string logFileName;

    // Settings
    std::int16_t comPort = 1;
    std::int16_t autoConnect = 1;
    std::array<std::string, 9> appName;
    std::array<std::string, 10> appPath;  // [9] is winampPath
    std::int16_t lastKeyMap = 0;
    float mainLeft = 0, mainTop = 0, settingLeft = 0, settingTop = 0;
    std::int16_t mouseSpeed = 5;

    const std::string& winampPath() const { return appPath[9]; }

    // Phone screens
    std::array<bool, 8> modeFlags{};

    // Key maps
    std::array<std::string, 24> keyNames;
    std::vector<KeyMap> keyMaps;
    std::int16_t currentKeyMap = 0;
    KeyMap winampKeyMap;
    bool keyHelpShown = false;
    bool keyMapNoticeShown = false;
    bool specialKeyRepeating = false;

    // Cursor
    std::int16_t mouseStep = 1;
    bool mouseMoving = false;

    // Media player
    std::intptr_t winampWindow = 0;
    bool winampRepeatVolume = false;
    std::int32_t winampPageOffset = 0;  // 32 bits: playlists grow past 32,767 entries
    std::int32_t winampLastIndex = 0;

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
    s.mouseMoving = s.specialKeyRepeating = s.volumeStepping = s.winampRepeatVolume = false;
}

inline void clearModes(ProgramState& s) {
    s.modeFlags.fill(false);
    endHoldLoops(s);
}

// The key mode whose keypad reports drive the keys now. A loop for a held key runs only while the
// mode it started in lasts: leaving it switches the reports off, so the release may never come.
inline ModeIndex keyModeNow(const ProgramState& s) {
    return s.modeFlags[ModeWinampStatus] ? ModeWinampStatus : ModeKeyControl;
}

inline bool noModeActive(const ProgramState& s) {
    for (bool f : s.modeFlags) {
        if (f) {
            return false;
        }
    }
    return true;
}

}  // namespace zintor
