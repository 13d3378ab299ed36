#include "core/phoneui/KeyControlScreen.h"

#include <algorithm>

#include "core/keymap/KeyMapLoader.h"
#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/ErrorPopUp.h"
#include "core/phoneui/MainMenu.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

KeyControlScreen::KeyControlScreen(ProgramState& state, Link& link, MainMenu& mainMenu,
                                   ErrorPopUp& errors)
    : state_(state), link_(link), mainMenu_(mainMenu), errors_(errors) {
    link.transport.addRoutes({
        on<DialogAnswered>(
            [this](const DialogAnswered& answer) {
                return state_.screen == Screen::kKeyControl && answer.is(0);
            },
            [this](DialogAnswered) { return leave(); }),
    });
}

Task<void> KeyControlScreen::enter() {
    if (!keyMapsLoaded(state_.keyMaps)) {
        // Key control needs a key map: say so on the phone instead of entering it.
        co_await errors_.show(texts::kNoKeyMap, texts::kErrorPopUpTimeOut);
        co_return;
    }
    // Entered from the main menu or the text input, which no hold outlives.
    state_.screen = Screen::kKeyControl;
    const int last = static_cast<int>(state_.keyMaps.size()) - 1;
    state_.currentKeyMap = state_.lastKeyMap > last ? 0 : std::max(state_.lastKeyMap, 0);
    if (onEntered) {
        onEntered();
    }
    co_await link_.ui.uiTimedFeedBack(
        state_.keyMaps[static_cast<std::size_t>(state_.currentKeyMap)].name);
    co_await link_.ui.atCmer(true);
}

Task<void> KeyControlScreen::leave() {
    leaveScreen(state_);
    onLeft();
    co_await link_.ui.atCmer(false);
    co_await mainMenu_.show(1);
}

}  // namespace zintor
