#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "keymap/KeyMapRecords.h"
#include "link/ReceiveBuffer.h"

namespace zintor {

struct ComPortInfo {
    std::string Name;
    std::int32_t Kind = 0;  // 1 = Bluetooth
    std::int16_t Port = 0;
};

struct USBOutput {
    bool State = false;
    std::string NameOn;
    std::string NameOff;
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
    bool Connected = false;
    bool SupervisionPaused = false;
    bool AnswerReceived = false;
    bool AnswerOK = false;
    ReceiveBuffer RxBuffer;
    std::vector<ComPortInfo> PortList;
    bool LogEnabled = false;
    std::string LogFileName;

    // Settings
    std::int16_t ComPort = 1;
    std::int16_t AutoConnect = 1;
    std::array<std::string, 9> AppName;
    std::array<std::string, 10> AppPath;  // [9] is WinampPath
    std::int16_t LastKeyMap = 0;
    float MainLeft = 0, MainTop = 0, SettingLeft = 0, SettingTop = 0;
    std::int16_t MouseSpeed = 5;

    const std::string& WinampPath() const { return AppPath[9]; }

    // Phone screens
    std::array<bool, 8> ModeFlags{};

    // Key maps
    std::array<std::string, 24> KeyNames;
    std::vector<KeyMap> KeyMaps;
    std::int16_t CurrentKeyMap = 0;
    KeyMap WinampKeyMap;
    bool KeyHelpShown = false;
    bool KeyMapNoticeShown = false;
    bool SpecialKeyRepeating = false;
    bool LeftButtonLatched = false;

    // Cursor
    std::int16_t MouseStep = 1;
    bool MouseMoving = false;

    // Media player
    std::intptr_t WinampWindow = 0;
    bool WinampRepeatVolume = false;
    bool WinampTimeToggle = false;
    std::int32_t WinampPageOffset = 0;  // 32 bits: playlists grow past 32,767 entries
    std::int32_t WinampLastIndex = 0;
    bool WinampListHasBackItem = false;
    std::string WinampRawTitle;
    std::string WinampTitle;

    // Mixer
    bool VolumeStepping = false;

    // USB board
    std::array<USBOutput, 8> USBOutputs;
    bool USBOpen = false;
    bool USBBoardPresent = false;

    // Tray
    int IconFrame = 101;
};

// Leaving a key screen ends the hold loops its keys started: their releases go elsewhere now,
// even when the same screen is entered again before a loop looks at its mode.
inline void EndHoldLoops(ProgramState& s) {
    s.MouseMoving = s.SpecialKeyRepeating = s.VolumeStepping = s.WinampRepeatVolume = false;
}

inline void ClearModes(ProgramState& s) {
    s.ModeFlags.fill(false);
    EndHoldLoops(s);
}

// The key mode whose keypad reports drive the keys now. A loop for a held key runs only while the
// mode it started in lasts: leaving it switches the reports off, so the release may never come.
inline ModeIndex KeyModeNow(const ProgramState& s) {
    return s.ModeFlags[ModeWinampStatus] ? ModeWinampStatus : ModeKeyControl;
}

inline bool NoModeActive(const ProgramState& s) {
    for (bool f : s.ModeFlags) {
        if (f) {
            return false;
        }
    }
    return true;
}

}  // namespace zintor
