#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "control/CommandExecutor.h"
#include "control/CursorMovement.h"
#include "control/InputSynthesis.h"
#include "control/KeyWindows.h"
#include "control/MasterVolume.h"
#include "keymap/KeyMapRecords.h"

namespace zintor {

class Link;

// The phone's keypad driving the PC: keypad reports in the key-control mode and in the media
// player's status mode, the key maps' command lists, the cursor, typed text, the master volume
// and the key help / key-map notice windows.
class KeyControl {
  public:
    KeyControl(ProgramState& state, Ports& ports, Link& link, Procedures& procedures);
    KeyControl(const KeyControl&) = delete;
    KeyControl& operator=(const KeyControl&) = delete;

    // A "+CKEV: " line in the key-control mode. Direction keys move the cursor until the next
    // line arrives; everything else goes to KeyMapKeyEvent.
    void KeyControlKeyEvent(const std::string& line);
    // A "+CKEV: " line in the media player's status mode.
    void WinampStatusKeyEvent(const std::string& line);

    void KeyMapKeyEvent(const KeyEvent& event);
    void WinampMapKeyEvent(const KeyEvent& event);

    // Shows the current key map's name on the phone.
    void ChangeKeyMap();

    void ExecuteCommands(const std::vector<KeyCommand>& commands, const KeyEvent& event) {
        executor_.ExecuteCommands(commands, event);
    }
    void TypeText(const std::string& text) { input_.TypeText(text); }

    // Fills WinampKeyMap, once at start-up.
    void BuildWinampKeyMap();

    // Lets go of whatever the phone's keys hold down on the PC (keys, mouse buttons, the latched
    // left button). Runs when the link ends and at shutdown.
    void ReleaseHeld();
    // Closes the key help and the notice, which ends whatever waits for them.
    void CloseWindows();

    // Windows.
    void CloseKeyHelp() { windows_.CloseKeyHelp(); }
    void KeyHelpClosed() { windows_.KeyHelpClosed(); }
    void NoticeClosed() { windows_.NoticeClosed(); }

    // The back-ends, for the parts that use them directly.
    InputSynthesis& Input() { return input_; }
    CursorMovement& Cursor() { return cursor_; }
    MasterVolume& Volume() { return volume_; }

  private:
    void MoveCursorWhileHeld(int key);
    void NextKeyMap();

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    InputSynthesis input_;
    CursorMovement cursor_;
    MasterVolume volume_;
    CommandExecutor executor_;
    KeyWindows windows_;
    std::array<std::set<int>, 24> pressedIn_;  // key maps of each key's presses not released
};

}  // namespace zintor
