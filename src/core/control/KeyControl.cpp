#include "control/KeyControl.h"

#include <utility>

#include "control/DecodeKeyEvent.h"
#include "control/KeyHelpContent.h"
#include "link/Link.h"

namespace zintor {
namespace {
constexpr int kSupervisionSlot = 5;
constexpr int kAccelerationSlot = 1;
}  // namespace

KeyControl::KeyControl(ProgramState& state, Ports& ports, Link& link, Procedures& procedures)
    : state_(state),
      ports_(ports),
      link_(link),
      input_(ports.input, ports.loop),
      cursor_(state, ports.input, link),
      volume_(state, ports.mixer, ports.loop, link),
      executor_(state, ports.loop, link, procedures, input_, volume_),
      windows_(state, ports.desktop, link.waitingLoop()) {
    link.onLinkEnded([this] { ReleaseHeld(); });
}

void KeyControl::ReleaseHeld() {
    input_.ReleaseAll();
    state_.LeftButtonLatched = false;
}

void KeyControl::CloseWindows() {
    windows_.CloseKeyHelp();
    windows_.CloseNotice();
}

void KeyControl::KeyControlKeyEvent(const std::string& line) {
    // Ends a cursor loop that an earlier call is running further down the stack.
    state_.MouseMoving = false;
    const KeyEvent event = DecodeKeyEvent(line);
    if (event.Pressed && event.Key >= kKeyCursorLeft && event.Key <= kKeyCursorUp) {
        MoveCursorWhileHeld(event.Key);
        return;
    }
    if (!state_.WinampRepeatVolume) {
        KeyMapKeyEvent(event);
    } else if (!event.Pressed) {
        // A release ends the repeat (a press is dropped). It also reaches its key's commands, so
        // that a loop or button of a key held since before the repeat ends with its key.
        state_.WinampRepeatVolume = false;
        KeyMapKeyEvent(event);
    }
}

void KeyControl::WinampStatusKeyEvent(const std::string& line) {
    state_.MouseMoving = false;
    const KeyEvent event = DecodeKeyEvent(line);
    if (!state_.WinampRepeatVolume) {
        WinampMapKeyEvent(event);
    } else if (!event.Pressed) {
        state_.WinampRepeatVolume = false;
    }
}

void KeyControl::MoveCursorWhileHeld(int key) {
    state_.MouseMoving = true;
    link_.DisableTimer(kSupervisionSlot);
    link_.ResetTimer(kAccelerationSlot, 0);  // MouseStep back to 1, growing every 300 ms
    const auto epoch = link_.linkEpoch();
    while (state_.MouseMoving && link_.holdGoesOn(epoch) && state_.ModeFlags[ModeKeyControl]) {
        switch (key) {
            case kKeyCursorLeft:
                cursor_.MoveCursorLeft();
                break;
            case kKeyCursorRight:
                cursor_.MoveCursorRight();
                break;
            case kKeyCursorDown:
                cursor_.MoveCursorDown();
                break;
            default:
                cursor_.MoveCursorUp();
                break;
        }
        link_.pumpWhileWaiting();
    }
    state_.MouseMoving = false;
    link_.DisableTimer(kAccelerationSlot);
}

void KeyControl::KeyMapKeyEvent(const KeyEvent& event) {
    if (RunsCommands(event.Key)) {
        // A release runs the lists of the key maps its presses ran in since the last release
        // (the phone may report a second press first), even when "#" changed the key map
        // meanwhile: the loops and buttons end with the key. Without a key map nothing runs.
        std::set<int>& pressedIn = pressedIn_[static_cast<std::size_t>(event.Key)];
        if (event.Pressed) {
            pressedIn.insert(state_.CurrentKeyMap);
        }
        const std::set<int> maps = event.Pressed || pressedIn.empty()
                                       ? std::set<int>{state_.CurrentKeyMap}
                                       : std::exchange(pressedIn, {});
        for (const int index : maps) {
            if (index >= 0 && static_cast<std::size_t>(index) < state_.KeyMaps.size()) {
                ExecuteCommands(
                    state_.KeyMaps[static_cast<std::size_t>(index)].Keys[event.Key].Commands,
                    event);
            }
        }
    } else if (event.Key == kKeyStar && event.Pressed) {
        windows_.ToggleKeyHelp();
    } else if (event.Key == kKeyHash && event.Pressed) {
        NextKeyMap();
    }
}

void KeyControl::WinampMapKeyEvent(const KeyEvent& event) {
    if (RunsCommands(event.Key)) {
        ExecuteCommands(state_.WinampKeyMap.Keys[static_cast<std::size_t>(event.Key)].Commands,
                        event);
    }
}

void KeyControl::NextKeyMap() {
    if (state_.KeyMaps.empty()) {
        return;  // no key map to change to
    }
    state_.ModeFlags[ModeApplicationMenu] = false;
    state_.ModeFlags[ModeKeyControl] = true;

    const int last = static_cast<int>(state_.KeyMaps.size()) - 1;
    int next = state_.CurrentKeyMap + 1;
    if (next > last || next < 0) {
        next = 0;
    }
    state_.CurrentKeyMap = static_cast<std::int16_t>(next);
    state_.LastKeyMap = state_.CurrentKeyMap;

    link_.UI_TimedFeedBack(state_.KeyMaps[static_cast<std::size_t>(next)].Name);
    windows_.KeyMapChanged();
}

void KeyControl::ChangeKeyMap() {
    if (const KeyMap* map = CurrentKeyMapOf(state_)) {
        link_.UI_TimedFeedBack(map->Name);
    }
}

}  // namespace zintor
