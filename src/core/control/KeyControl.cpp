#include "core/control/KeyControl.h"

#include <array>
#include <string_view>
#include <utility>

#include "core/control/KeyHelpContent.h"
#include "core/keymap/KeyMapLoader.h"
#include "core/keymap/KeyMapNames.h"
#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/link/transport/PhoneKeys.h"

namespace zintor {

KeyControl::KeyControl(ProgramState& state, Ports& ports, Link& link, PlayerControl& player)
    : state_(state),
      ports_(ports),
      link_(link),
      input_(ports.input),
      touch_(state, ports.input, input_),
      cursor_(ports.input),
      volume_(state, ports.mixer, ports.loop, link),
      executor_(state, ports.loop, link, player, input_, volume_),
      windows_(state, ports.desktop, ports.extras, ports.loop),
      cursorRepeat_(ports.loop, link.transport.repeatGate(), state.mouseMoving) {
    link.connection.onLinkEnded([this] { releaseHeld(); });
    const auto shown = [this](Screen screen) {
        return [this, screen](const KeyEvent&) { return state_.screen == screen; };
    };
    link.transport.addRoutes({
        on<KeyEvent>(shown(Screen::kKeyControl),
                     [this](KeyEvent event) { return keyControlKeyEvent(event); }),
        on<KeyEvent>(shown(Screen::kPlayerStatus),
                     [this](KeyEvent event) { return playerStatusKeyEvent(event); }),
    });
    touch_.onUntyped = [this](const std::string& notice) {
        link_.transport.start(link_.ui.uiTimedFeedBack(notice));
    };
    // While a direction key is held the cursor moves one pixel more a step every 300 ms.
    link.timers.onTick(TimerSlot::kCursorAcceleration, [this] { cursor_.accelerate(); });
}

namespace {

struct StatusKey {
    int key;
    std::string_view command;
};

// The fixed key map of the media player's status dialog.
constexpr std::array<StatusKey, 7> kStatusKeys{{
    {10, "VOLUME UP"},
    {11, "VOLUME DOWN"},
    {1, "PLAY"},
    {2, "PAUSE"},
    {3, "STOP"},
    {7, "PREV TRACK"},
    {8, "NEXT TRACK"},
}};

}  // namespace

void KeyControl::buildPlayerKeyMap() {
    for (const StatusKey& entry : kStatusKeys) {
        KeyCommand command;
        command.type = CommandType::kPlayer;
        command.code = playerCommandCode(entry.command);
        playerKeyMap_.keys[static_cast<std::size_t>(entry.key)].commands = {command};
    }
}

void KeyControl::releaseHeld() {
    input_.releaseAll();
    touch_.forgetDrag();
    executor_.forgetLatch();
    droppedPresses_.clear();
}

void KeyControl::keyControlEntered() {
    const KeyMap* map = currentKeyMapOf(state_);
    ports_.extras.showKeyFunctions(map != nullptr ? map->name : std::string(),
                                   keyFunctions(state_));
}

void KeyControl::closeWindows() {
    windows_.closeKeyHelp();
    windows_.closeNotice();
}

namespace {
// Presses whose commands run on at once at most; a phone that sends more (a burst of presses of
// keys that pause) has the others dropped, so what the program keeps stays small. Releases are
// never dropped: they end what the presses started.
constexpr int kMostPressesRunning = 64;

// Keys whose command list a key map can run: 0-11, 15, 16, 22 and 23.
bool runsCommands(int key) {
    return (key >= 0 && key <= 11) || key == 15 || key == 16 || key == 22 || key == 23;
}
}  // namespace

Task<void> KeyControl::runPress(Task<void> commands) {
    if (pressesRunning_ >= kMostPressesRunning) {
        co_return;
    }
    ++pressesRunning_;
    co_await std::move(commands);
    --pressesRunning_;
}

Task<void> KeyControl::keyControlKeyEvent(KeyEvent event) {
    // Any key ends the cursor's repeat.
    state_.mouseMoving = false;
    if (event.pressed && event.key >= kKeyCursorLeft && event.key <= kKeyCursorUp) {
        co_await moveCursorWhileHeld(event.key);
    } else if (event.pressed && !state_.playerRepeatVolume) {
        co_await runPress(keyMapKeyEvent(event));
    } else if (!event.pressed && droppedPresses_.erase(event.key) > 0) {
        // The press was dropped while the player's volume repeated: the release ends the
        // repeat, and lets go of what an earlier press of the key (the phone may report two)
        // still holds.
        state_.playerRepeatVolume = false;
        if (!pressedIn_[static_cast<std::size_t>(event.key)].empty()) {
            co_await keyMapKeyEvent(event);
        }
    } else if (!state_.playerRepeatVolume) {
        co_await keyMapKeyEvent(event);
    } else if (!event.pressed) {
        // The release ends the repeat. A key held since before it (the volume key among them)
        // also ends its loops and buttons.
        state_.playerRepeatVolume = false;
        co_await keyMapKeyEvent(event);
    } else if (runsCommands(event.key)) {
        droppedPresses_.insert(event.key);
    }
}

Task<void> KeyControl::playerStatusKeyEvent(KeyEvent event) {
    state_.mouseMoving = false;
    // (No conditional operator around co_await: GCC 12 destroys both of its operands.)
    if (!state_.playerRepeatVolume && event.pressed) {
        co_await runPress(playerMapKeyEvent(event));
    } else if (!state_.playerRepeatVolume) {
        co_await playerMapKeyEvent(event);
    } else if (!event.pressed) {
        state_.playerRepeatVolume = false;
    }
}

Task<void> KeyControl::moveCursorWhileHeld(int key) {
    link_.timers.disable(TimerSlot::kSupervision);
    cursor_.resetStep();
    link_.timers.reset(TimerSlot::kCursorAcceleration);
    const bool latest = co_await cursorRepeat_.run(
        [this, key] {
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
        },
        [this] { return std::int64_t{state_.mouseSpeed}; });
    // A newer direction key took over: the acceleration is its own now.
    if (latest) {
        link_.timers.disable(TimerSlot::kCursorAcceleration);
    }
}

Task<void> KeyControl::keyMapKeyEvent(KeyEvent event) {
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
                co_await executor_.executeCommands(
                    state_.keyMaps[static_cast<std::size_t>(index)].keys[event.key].commands,
                    event);
            }
        }
    } else if (event.key == kKeyStar && event.pressed) {
        windows_.toggleKeyHelp();
    } else if (event.key == kKeyHash && event.pressed) {
        co_await nextKeyMap();
    }
}

Task<void> KeyControl::playerMapKeyEvent(KeyEvent event) {
    if (runsCommands(event.key)) {
        co_await executor_.executeCommands(
            playerKeyMap_.keys[static_cast<std::size_t>(event.key)].commands, event);
    }
}

Task<void> KeyControl::nextKeyMap() {
    if (!keyMapsLoaded(state_.keyMaps)) {
        co_return;  // no key map to change to
    }
    state_.screen = Screen::kKeyControl;

    const int last = static_cast<int>(state_.keyMaps.size()) - 1;
    int next = state_.currentKeyMap + 1;
    if (next > last || next < 0) {
        next = 0;
    }
    state_.currentKeyMap = next;
    state_.lastKeyMap = state_.currentKeyMap;
    keyControlEntered();

    co_await link_.ui.uiTimedFeedBack(state_.keyMaps[static_cast<std::size_t>(next)].name);
    co_await windows_.keyMapChanged();
}

}  // namespace zintor
