#include "core/phoneui/ErrorPopUp.h"

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/MainMenu.h"

namespace zintor {

ErrorPopUp::ErrorPopUp(ProgramState& state, Link& link, MainMenu& mainMenu)
    : state_(state), link_(link), mainMenu_(mainMenu) {
    // A pop-up ends with "*EAII: 1,1" (its time ran out) or "*EAII: 0" (the user closed it).
    link.transport.addRoutes({
        on<DialogAnswered>(
            [this](const DialogAnswered& answer) {
                return state_.screen == Screen::kErrorPopUp && (answer.is(1, 1) || answer.is(0));
            },
            [this](DialogAnswered) { return mainMenu_.show(1); }),
    });
}

Task<void> ErrorPopUp::show(std::string text, int timeOut) {
    leaveScreen(state_);
    state_.screen = Screen::kErrorPopUp;
    co_await link_.ui.uiPopUp(text, timeOut);
}

}  // namespace zintor
