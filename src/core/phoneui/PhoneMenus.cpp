#include "core/phoneui/PhoneMenus.h"

#include <algorithm>
#include <initializer_list>

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

PhoneMenus::PhoneMenus(ProgramState& state, Ports& ports, Link& link)
    : state_(state), ports_(ports), link_(link) {
    link.connection.onConnected([this] { return showMainMenu(1); });
    addRoutes();
}

void PhoneMenus::addRoutes() {
    const auto always = [](const auto&) { return true; };
    const auto shown = [this](Screen screen) {
        return [this, screen](const auto&) { return state_.screen == screen; };
    };
    const auto shownAnyOf = [this](std::initializer_list<Screen> list) {
        return [this, screens = std::vector<Screen>(list)](const auto&) {
            return std::ranges::find(screens, state_.screen) != screens.end();
        };
    };
    // A pop-up ends with "*EAII: 1,1" (its time ran out) or "*EAII: 0" (the user closed it).
    const auto popUpEnded = [this](Screen screen) {
        return [this, screen](const DialogAnswered& answer) {
            return state_.screen == screen && (answer.is(1, 1) || answer.is(0));
        };
    };
    const auto closedOn = [this](Screen screen) {
        return [this, screen](const DialogAnswered& answer) {
            return state_.screen == screen && answer.is(0);
        };
    };
    const auto toMainMenu = [this](const auto&) { return showMainMenu(1); };
    const auto reset = [this](const auto&) { return resetPhoneUi(); };

    link_.transport.addRoutes({
        on<DialogAnswered>(popUpEnded(Screen::kErrorPopUp), toMainMenu),
        on<DialogAnswered>(popUpEnded(Screen::kAbout), [this](auto) { return closeAbout(); }),
        on<AccessoryOpened>(always, toMainMenu),
        on<MenuChosen>(shown(Screen::kMainMenu),
                       [this](MenuChosen choice) { return mainMenuChosen(choice.item); }),
        on<MenuChosen>(shown(Screen::kUsbMenu),
                       [this](MenuChosen choice) { return usbMenuChosen(choice.lastDigit); }),
        // Only the last digit counts: "*EAMI: 12" chooses item 2; no digit, the way back.
        on<MenuChosen>(shown(Screen::kApplicationMenu),
                       [this](MenuChosen choice) {
                           return applicationMenuSelected(std::max(choice.lastDigit, 0));
                       }),
        on<MenuClosed>(always, reset),
        on<DialogAnswered>(closedOn(Screen::kKeyControl),
                           [this](auto) { return leaveKeyControl(); }),
        on<DialogClosed>(shownAnyOf({Screen::kKeyControl, Screen::kErrorPopUp, Screen::kAbout,
                                     Screen::kTextInput, Screen::kPlayerStatus}),
                         reset),
        on<TextEntered>(shown(Screen::kTextInput),
                        [this](TextEntered entered) { return textEntered(entered.text); }),
        on<DialogAnswered>(closedOn(Screen::kTextInput),
                           [this](auto) { return moveMouseSelected(); }),
    });
}

std::vector<std::string> PhoneMenus::mainMenuItems() const {
    std::vector<std::string> items{texts::kMoveMouse, texts::kApplication};
    if (!state_.playerPath().empty()) {
        items.emplace_back(texts::kWinamp);
    }
    if (state_.usbBoardPresent) {
        items.emplace_back(texts::kUsb);
    }
    items.emplace_back(texts::kAbout);
    return items;
}

int PhoneMenus::mainMenuPosition(const std::string& item) const {
    const auto items = mainMenuItems();
    const auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? 1 : static_cast<int>(it - items.begin()) + 1;
}

Task<void> PhoneMenus::showErrorPopUp(std::string text, int timeOut) {
    leaveScreen(state_);
    state_.screen = Screen::kErrorPopUp;
    co_await link_.ui.uiPopUp(text, timeOut);
}

Task<void> PhoneMenus::textEntered(std::string text) {
    // The next input's prompt names what was not typed.
    if (const std::string notice = onTextEntered(text); notice.empty()) {
        co_await link_.ui.showTextInputDialog();
    } else {
        co_await link_.ui.showTextInputDialog(notice);
    }
}

Task<void> PhoneMenus::showMainMenu(int item) {
    leaveScreen(state_);
    co_await link_.ui.uiSubMenu(texts::kMainTitle, item, mainMenuItems());
}

Task<void> PhoneMenus::mainMenuChosen(int item) {
    const auto items = mainMenuItems();
    if (item < 1 || item > static_cast<int>(items.size())) {
        co_return;
    }
    const std::string chosen = items[static_cast<std::size_t>(item - 1)];
    if (chosen == texts::kMoveMouse) {
        co_await moveMouseSelected();
    } else if (chosen == texts::kApplication) {
        co_await applicationMenuSelected(1);
    } else if (chosen == texts::kWinamp) {
        co_await onPlayerMenuChosen();
    } else if (chosen == texts::kUsb) {
        co_await usbMenuSelected(1);
    } else if (chosen == texts::kAbout) {
        co_await showAbout();
    }
}

Task<void> PhoneMenus::leaveKeyControl() {
    leaveScreen(state_);
    onKeyControlLeft();
    co_await link_.ui.atCmer(false);
    co_await showMainMenu(1);
}

Task<void> PhoneMenus::resetPhoneUi() {
    link_.timers.disableAll();
    co_await link_.ui.atCmer(false);
    leaveScreen(state_);
    co_await link_.ui.registerAccessoryMenu();
}

}  // namespace zintor
