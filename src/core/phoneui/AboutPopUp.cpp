#include "core/phoneui/AboutPopUp.h"

#include <string_view>

#include "Version.h"
#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/MainMenu.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

AboutPopUp::AboutPopUp(ProgramState& state, Link& link, MainMenu& mainMenu)
    : state_(state), link_(link), mainMenu_(mainMenu) {
    // Like every pop-up, it ends with "*EAII: 1,1" (its time ran out) or "*EAII: 0".
    link.transport.addRoutes({
        on<DialogAnswered>(
            [this](const DialogAnswered& answer) {
                return state_.screen == Screen::kAbout && (answer.is(1, 1) || answer.is(0));
            },
            [this](DialogAnswered) { return close(); }),
    });
}

Task<void> AboutPopUp::show() {
    state_.screen = Screen::kAbout;  // chosen in the main menu, where nothing else runs
    co_await link_.ui.uiPopUp(text(), texts::kAboutTimeOut);
}

Task<void> AboutPopUp::close() {
    co_await mainMenu_.show(mainMenu_.position(texts::kAbout));
}

std::string AboutPopUp::text() {
    std::string text =
        std::string(texts::kMainTitle) + " " + versionText() + " - " + texts::kAboutDescription;
    if (std::string_view(kHomePage).empty()) {
        return text;
    }
    return text + " - " + kHomePage;
}

}  // namespace zintor
