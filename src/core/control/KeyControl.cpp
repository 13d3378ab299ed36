#include "control/KeyControl.h"

#include <limits>
#include <utility>

#include "control/DecodeKeyEvent.h"
#include "control/KeyHelpContent.h"
#include "keymap/KeyMapLoader.h"
#include "link/Link.h"

namespace zintor {

KeyControl::KeyControl(ProgramState& state, Ports& ports, Link& link, WinampControl& player)
    : state_(state),
      ports_(ports),
      link_(link),
      input_(ports.input, ports.loop),
      cursor_(state, ports.input, link),
      volume_(state, ports.mixer, ports.loop, link),
      executor_(state, link, player, input_, volume_),
      windows_(state, ports.desktop, link.waitingLoop()) {
    link.onLinkEnded([this] { releaseHeld(); });
    // While a direction key is held the cursor moves one pixel more a step every 300 ms.
    link.onTick(TimerSlot::CursorAcceleration, [this] {
        if (state_.mouseStep < std::numeric_limits<std::int16_t>::max()) {
            ++state_.mouseStep;
        }
    });
}

void KeyControl::releaseHeld() {
    input_.releaseAll();
    executor_.forgetLatch();
}

void KeyControl::closeWindows() {
    windows_.closeKeyHelp();
    windows_.closeNotice();
}

void KeyControl::keyControlKeyEvent(const std::string& line) {
    // Ends a cursor loop that an earlier call is running further down the stack.
    state_.mouseMoving = false;
    const KeyEvent event = decodeKeyEvent(line);
    if (event.pressed && event.key >= kKeyCursorLeft && event.key <= kKeyCursorUp) {
        moveCursorWhileHeld(event.key);
        return;
    }
    if (!state_.winampRepeatVolume) {
        keyMapKeyEvent(event);
    } else if (!event.pressed) {
        // A release ends the repeat (a press is dropped). It also reaches its key's commands, so
        // that a loop or button of a key held since before the repeat ends with its key.
        state_.winampRepeatVolume = false;
        keyMapKeyEvent(event);
    }
}

void KeyControl::winampStatusKeyEvent(const std::string& line) {
    state_.mouseMoving = false;
    const KeyEvent event = decodeKeyEvent(line);
    if (!state_.winampRepeatVolume) {
        winampMapKeyEvent(event);
    } else if (!event.pressed) {
        state_.winampRepeatVolume = false;
    }
}

void KeyControl::moveCursorWhileHeld(int key) {
    state_.mouseMoving = true;
    link_.disableTimer(TimerSlot::Supervision);
    state_.mouseStep = 1;
    link_.resetTimer(TimerSlot::CursorAcceleration);
    const auto epoch = link_.linkEpoch();
    while (state_.mouseMoving && link_.holdGoesOn(epoch) && state_.modeFlags[ModeKeyControl]) {
        switch (key) {
            case kKeyCursorLeft:
                cursor_.moveCursorLeft();
                break;
            case kKeyCursorRight:
                cursor_.moveCursorRight();
                break;
            case kKeyCursorDown:
                cursor_.moveCursorDown();
                break;
            default:
                cursor_.moveCursorUp();
                break;
        }
        link_.pumpWhileWaiting();
    }
    state_.mouseMoving = false;
    link_.disableTimer(TimerSlot::CursorAcceleration);
}

void KeyControl::keyMapKeyEvent(const KeyEvent& event) {
    if (runsCommands(event.key)) {
        // A release runs the lists of the key maps its presses ran in since the last release
        // (the phone may report a second press first), even when "#" changed the key map
        // meanwhile: the loops and buttons end with the key. Without a key map nothing runs.
        std::set<int>& pressedIn = pressedIn_[static_cast<std::size_t>(event.key)];
        if (event.pressed) {
            pressedIn.insert(state_.currentKeyMap);
        }
        const std::set<int> maps = event.pressed || pressedIn.empty()
                                       ? std::set<int>{state_.currentKeyMap}
                                       : std::exchange(pressedIn, {});
        for (const int index : maps) {
            if (keyHasCommands(state_.keyMaps, static_cast<std::int16_t>(index),
                               static_cast<std::int16_t>(event.key))) {
                executeCommands(
                    state_.keyMaps[static_cast<std::size_t>(index)].keys[event.key].commands,
                    event);
            }
        }
    } else if (event.key == kKeyStar && event.pressed) {
        windows_.toggleKeyHelp();
    } else if (event.key == kKeyHash && event.pressed) {
        nextKeyMap();
    }
}

void KeyControl::winampMapKeyEvent(const KeyEvent& event) {
    if (runsCommands(event.key)) {
        executeCommands(state_.winampKeyMap.keys[static_cast<std::size_t>(event.key)].commands,
                        event);
    }
}

void KeyControl::nextKeyMap() {
    if (!keyMapsLoaded(state_.keyMaps)) {
        return;  // no key map to change to
    }
    state_.modeFlags[ModeApplicationMenu] = false;
    state_.modeFlags[ModeKeyControl] = true;

    const int last = static_cast<int>(state_.keyMaps.size()) - 1;
    int next = state_.currentKeyMap + 1;
    if (next > last || next < 0) {
        next = 0;
    }
    state_.currentKeyMap = static_cast<std::int16_t>(next);
    state_.lastKeyMap = state_.currentKeyMap;

    link_.uiTimedFeedBack(state_.keyMaps[static_cast<std::size_t>(next)].name);
    windows_.keyMapChanged();
}

}  // namespace zintor
