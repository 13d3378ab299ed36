#include "core/control/CommandExecutor.h"

#include "core/control/ControlTexts.h"
#include "core/link/Link.h"

namespace zintor {
namespace {

constexpr std::int64_t kSpecialKeyRepeatMs = 200;
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

Task<void> CommandExecutor::executeCommands(const std::vector<KeyCommand>& commands,
                                            KeyEvent event) {
    for (const KeyCommand& command : commands) {
        if (event.pressed) {
            co_await onPress(command);
        } else {
            onRelease(command);
        }
    }
}

Task<void> CommandExecutor::onPress(const KeyCommand& command) {
    switch (command.type) {
        case CommandType::kKey:
            if (const std::string notice = untypedNotice(input_.typeText(command.text));
                !notice.empty()) {
                co_await link_.ui.uiTimedFeedBack(notice);
            }
            break;
        case CommandType::kWait:
            co_await link_.transport.wait(static_cast<float>(command.value) / 1000.0f);
            break;
        case CommandType::kSpecialKey:
            co_await repeatSpecialKey(keyCode(command));
            break;
        case CommandType::kKeyDown:
            input_.sendKeyDown(keyCode(command));
            break;
        case CommandType::kKeyUp:
            input_.sendKeyUp(keyCode(command));
            break;
        case CommandType::kMouse:
            mousePress(command.code);
            break;
        case CommandType::kInput:
            co_await switchToTextInput();
            break;
        case CommandType::kPlayer:
            co_await player_.execute(command.code & 0xFF);
            break;
        case CommandType::kVolume:
            co_await volume_.volumeCommand(command.code);
            break;
        default:
            break;  // unknown types are skipped
    }
}

void CommandExecutor::onRelease(const KeyCommand& command) {
    switch (command.type) {
        case CommandType::kSpecialKey:
            state_.specialKeyRepeating = false;
            break;
        case CommandType::kMouse:
            if (command.code == kMouseLeft) {
                input_.sendLeftButtonUp();
            } else if (command.code == kMouseRight) {
                input_.sendRightButtonUp();
            }
            break;
        case CommandType::kVolume:
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

// One press at once and one every 200 ms until the key's release.
Task<void> CommandExecutor::repeatSpecialKey(std::uint8_t code) {
    co_await specialKeyRepeat_.run([this, code] { input_.sendKeyPress(code); },
                                   [] { return kSpecialKeyRepeatMs; });
}

Task<void> CommandExecutor::switchToTextInput() {
    // Key lines stop reaching the key-control mode; the phone's text dialog takes over.
    leaveScreenIfShown(state_, Screen::kKeyControl);
    endHoldLoops(state_);
    co_await link_.ui.atCmer(false, control_texts::kInputCommandTimeOut);
    leaveScreen(state_);  // a screen the phone chose meanwhile gives way to the dialog
    state_.screen = Screen::kTextInput;
    co_await link_.ui.showTextInputDialog(control_texts::kInputCommandTimeOut);
}

}  // namespace zintor
