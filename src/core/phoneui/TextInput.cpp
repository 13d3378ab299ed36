#include "core/phoneui/TextInput.h"

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/KeyControlScreen.h"

namespace zintor {

TextInput::TextInput(ProgramState& state, Link& link, KeyControlScreen& keyControl)
    : state_(state), link_(link), keyControl_(keyControl) {
    link.transport.addRoutes({
        on<TextEntered>([this](const TextEntered&) { return state_.screen == Screen::kTextInput; },
                        [this](TextEntered text) { return entered(text.text); }),
        on<DialogAnswered>(
            [this](const DialogAnswered& answer) {
                return state_.screen == Screen::kTextInput && answer.is(0);
            },
            [this](DialogAnswered) { return keyControl_.enter(); }),
    });
}

Task<void> TextInput::entered(std::string text) {
    // The next input's prompt names what was not typed.
    if (const std::string notice = onTextEntered(text); notice.empty()) {
        co_await link_.ui.showTextInputDialog();
    } else {
        co_await link_.ui.showTextInputDialog(notice);
    }
}

}  // namespace zintor
