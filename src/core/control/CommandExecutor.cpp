#include "control/CommandExecutor.h"

#include "control/ControlTexts.h"
#include "link/Link.h"

namespace zintor {
namespace {

constexpr float kSpecialKeyRepeatSeconds = 0.2f;
constexpr std::int32_t kMouseLeft = 0;
constexpr std::int32_t kMouseRight = 1;
constexpr std::int32_t kMouseLeftHold = 2;

std::uint8_t KeyCode(const KeyCommand& command) {
    return static_cast<std::uint8_t>(command.Code & 0xFF);
}

}  // namespace

bool HasCommands(const std::vector<KeyCommand>& commands) {
    return !commands.empty();
}

void CommandExecutor::ExecuteCommands(const std::vector<KeyCommand>& commands,
                                      const KeyEvent& event) {
    if (!HasCommands(commands)) {
        return;
    }
    // The event is copied: nested calls must not change what this call acts on. The list is
    // read afresh at every step (key maps never change after loading).
    const KeyEvent ev = event;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (ev.Pressed) {
            OnPress(commands[i]);
        } else {
            OnRelease(commands[i]);
        }
    }
}

void CommandExecutor::OnPress(const KeyCommand& command) {
    switch (command.Type) {
        case CommandKey:
            input_.TypeText(command.Text);
            break;
        case CommandWait:
            link_.Wait(static_cast<float>(command.Value) / 1000.0f);
            break;
        case CommandSpecialKey: {
            state_.SpecialKeyRepeating = true;
            const auto epoch = link_.linkEpoch();
            const ModeIndex mode = KeyModeNow(state_);
            while (state_.SpecialKeyRepeating && link_.holdGoesOn(epoch) &&
                   state_.ModeFlags[mode]) {
                input_.SendKeyPress(KeyCode(command));
                link_.pumpWhileWaiting();
                link_.Wait(kSpecialKeyRepeatSeconds);
            }
            state_.SpecialKeyRepeating = false;
            break;
        }
        case CommandKeyDown:
            input_.SendKeyDown(KeyCode(command));
            break;
        case CommandKeyUp:
            input_.SendKeyUp(KeyCode(command));
            break;
        case CommandMouse:
            MousePress(command.Code);
            break;
        case CommandInput:
            SwitchToTextInput();
            break;
        case CommandWinamp:
            procedures_.WinAMP_Execute(command.Code & 0xFF);
            break;
        case CommandVolume:
            volume_.VolumeCommand(command.Code);
            break;
        default:
            break;  // unknown types are skipped
    }
}

void CommandExecutor::OnRelease(const KeyCommand& command) {
    switch (command.Type) {
        case CommandSpecialKey:
            state_.SpecialKeyRepeating = false;
            break;
        case CommandMouse:
            if (command.Code == kMouseLeft) {
                input_.SendLeftButtonUp();
            } else if (command.Code == kMouseRight) {
                input_.SendRightButtonUp();
            }
            break;
        case CommandVolume:
            state_.VolumeStepping = false;
            break;
        default:
            break;  // everything else acts on the press only
    }
}

void CommandExecutor::MousePress(std::int32_t code) {
    if (code == kMouseLeft) {
        input_.SendLeftButtonDown();
    } else if (code == kMouseRight) {
        input_.SendRightButtonDown();
    } else if (code == kMouseLeftHold) {
        if (state_.LeftButtonLatched) {
            input_.SendLeftButtonUp();
            state_.LeftButtonLatched = false;
        } else {
            input_.SendLeftButtonDown();
            state_.LeftButtonLatched = true;
        }
    }
}

void CommandExecutor::SwitchToTextInput() {
    // Key lines stop reaching the key-control mode; the phone's text dialog takes over.
    state_.ModeFlags[ModeKeyControl] = false;
    EndHoldLoops(state_);
    link_.Send(control_texts::kKeypadReportingOff, control_texts::kInputCommandTimeoutMs);
    ClearModes(state_);  // a screen the phone chose meanwhile gives way to the dialog
    state_.ModeFlags[ModeTextInput] = true;
    link_.Send(control_texts::kTextInputDialog, control_texts::kInputCommandTimeoutMs);
}

}  // namespace zintor
