#include "control/CommandExecutor.h"

#include "control/ControlTexts.h"
#include "link/Link.h"

namespace zintor {
namespace {

constexpr float kSpecialKeyRepeatSeconds = 0.2f;
constexpr std::int32_t kMouseLeft = 0;
constexpr std::int32_t kMouseRight = 1;
constexpr std::int32_t kMouseLeftHold = 2;

std::uint8_t keyCode(const KeyCommand& command) {
    return static_cast<std::uint8_t>(command.code & 0xFF);
}

}  // namespace

bool hasCommands(const std::vector<KeyCommand>& commands) {
    return !commands.empty();
}

void CommandExecutor::executeCommands(const std::vector<KeyCommand>& commands,
                                      const KeyEvent& event) {
    if (!hasCommands(commands)) {
        return;
    }
    // The event is copied: nested calls must not change what this call acts on. The list is
    // read afresh at every step (key maps never change after loading).
    const KeyEvent ev = event;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (ev.pressed) {
            onPress(commands[i]);
        } else {
            onRelease(commands[i]);
        }
    }
}

void CommandExecutor::onPress(const KeyCommand& command) {
    switch (command.type) {
        case CommandKey:
            input_.typeText(command.text);
            break;
        case CommandWait:
            link_.wait(static_cast<float>(command.value) / 1000.0f);
            break;
        case CommandSpecialKey: {
            state_.specialKeyRepeating = true;
            const auto epoch = link_.linkEpoch();
            const ModeIndex mode = keyModeNow(state_);
            while (state_.specialKeyRepeating && link_.holdGoesOn(epoch) &&
                   state_.modeFlags[mode]) {
                input_.sendKeyPress(keyCode(command));
                link_.pumpWhileWaiting();
                link_.wait(kSpecialKeyRepeatSeconds);
            }
            state_.specialKeyRepeating = false;
            break;
        }
        case CommandKeyDown:
            input_.sendKeyDown(keyCode(command));
            break;
        case CommandKeyUp:
            input_.sendKeyUp(keyCode(command));
            break;
        case CommandMouse:
            mousePress(command.code);
            break;
        case CommandInput:
            switchToTextInput();
            break;
        case CommandWinamp:
            player_.execute(command.code & 0xFF);
            break;
        case CommandVolume:
            volume_.volumeCommand(command.code);
            break;
        default:
            break;  // unknown types are skipped
    }
}

void CommandExecutor::onRelease(const KeyCommand& command) {
    switch (command.type) {
        case CommandSpecialKey:
            state_.specialKeyRepeating = false;
            break;
        case CommandMouse:
            if (command.code == kMouseLeft) {
                input_.sendLeftButtonUp();
            } else if (command.code == kMouseRight) {
                input_.sendRightButtonUp();
            }
            break;
        case CommandVolume:
            state_.volumeStepping = false;
            break;
        default:
            break;  // everything else acts on the press only
    }
}

void CommandExecutor::mousePress(std::int32_t code) {
    if (code == kMouseLeft) {
        input_.sendLeftButtonDown();
    } else if (code == kMouseRight) {
        input_.sendRightButtonDown();
    } else if (code == kMouseLeftHold) {
        if (leftButtonLatched_) {
            input_.sendLeftButtonUp();
            leftButtonLatched_ = false;
        } else {
            input_.sendLeftButtonDown();
            leftButtonLatched_ = true;
        }
    }
}

void CommandExecutor::switchToTextInput() {
    // Key lines stop reaching the key-control mode; the phone's text dialog takes over.
    state_.modeFlags[ModeKeyControl] = false;
    endHoldLoops(state_);
    link_.atCmer(false, control_texts::kInputCommandTimeOut);
    clearModes(state_);  // a screen the phone chose meanwhile gives way to the dialog
    state_.modeFlags[ModeTextInput] = true;
    link_.showTextInputDialog(control_texts::kInputCommandTimeOut);
}

}  // namespace zintor
