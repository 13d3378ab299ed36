#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "core/control/CommandExecutor.h"
#include "core/control/CursorMovement.h"
#include "core/control/InputSynthesis.h"
#include "core/control/KeyWindows.h"
#include "core/control/MasterVolume.h"
#include "core/control/TouchPad.h"
#include "core/keymap/KeyMapRecords.h"
#include "core/link/transport/PhoneEvent.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;

// The phone's keypad driving the PC: the keys on the key-control screen and on the media
// player's status screen (it adds their routes to the link), the key maps' command lists, the
// cursor, typed text, the master volume and the key help / key-map notice windows.
class KeyControl {
  public:
    KeyControl(ProgramState& state, Ports& ports, Link& link, PlayerControl& player);
    KeyControl(const KeyControl&) = delete;
    KeyControl& operator=(const KeyControl&) = delete;

    // A key on the key-control screen. Direction keys move the cursor until the next line
    // arrives; everything else goes to keyMapKeyEvent. Ends when the key's handling does (a held
    // key's repeat ends with its release).
    Task<void> keyControlKeyEvent(KeyEvent event);
    // A key on the media player's status screen.
    Task<void> playerStatusKeyEvent(KeyEvent event);

    Task<void> keyMapKeyEvent(KeyEvent event);
    Task<void> playerMapKeyEvent(KeyEvent event);
    // Types text from the phone's input dialog; gives the notice that names what the desktop
    // could not type ("" when it typed everything).
    std::string typeText(const std::string& text) { return untypedNotice(input_.typeText(text)); }

    // Fills the player status dialog's key map, once at start-up.
    void buildPlayerKeyMap();

    // Lets go of whatever the phone's keys hold down on the PC (keys, mouse buttons, the latched
    // left button). Runs when the link ends and at shutdown.
    void releaseHeld();
    // Closes the key help and the notice, which ends whatever waits for them.
    void closeWindows();

    // The key-control mode began: a phone that can shows what its keys do.
    void keyControlEntered();
    // The phone's touch surface and keyboard.
    TouchPad& touchPad() { return touch_; }

    // Windows.
    void closeKeyHelp() { windows_.closeKeyHelp(); }
    void keyHelpClosed() { windows_.keyHelpClosed(); }
    void noticeClosed() { windows_.noticeClosed(); }
    const KeyWindows& windows() const { return windows_; }
    const CursorMovement& cursor() const { return cursor_; }

  private:
    // A press whose commands may still be running when the next lines come.
    Task<void> runPress(Task<void> commands);
    Task<void> moveCursorWhileHeld(int key);
    Task<void> nextKeyMap();

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    InputSynthesis input_;
    TouchPad touch_;
    CursorMovement cursor_;
    MasterVolume volume_;
    CommandExecutor executor_;
    KeyWindows windows_;
    KeyMap playerKeyMap_;  // the player status dialog's keys, built once at start-up
    std::array<std::set<int>, 24> pressedIn_;  // key maps of each key's presses not released
    std::set<int> droppedPresses_;             // keys pressed while the player's volume repeated
    int pressesRunning_ = 0;                   // presses whose commands still run (WAIT, repeats)
    HoldRepeat cursorRepeat_;
};

}  // namespace zintor
