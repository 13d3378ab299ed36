#include "core/phoneui/MainMenu.h"

#include <algorithm>
#include <initializer_list>

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

MainMenu::MainMenu(ProgramState& state, Ports& ports, Link& link)
    : state_(state),
      link_(link),
      errors_(state, link, *this),
      keyControl_(state, link, *this, errors_),
      textInput_(state, link, keyControl_),
      applications_(state, ports, link, *this, errors_),
      usb_(state, ports, link, *this),
      about_(state, link, *this) {
    link.connection.onConnected([this] { return show(1); });
    addRoutes();
}

void MainMenu::addRoutes() {
    const auto always = [](const auto&) { return true; };
    const auto shownAnyOf = [this](std::initializer_list<Screen> list) {
        return [this, screens = std::vector<Screen>(list)](const auto&) {
            return std::ranges::find(screens, state_.screen) != screens.end();
        };
    };
    const auto reset = [this](const auto&) { return resetPhoneUi(); };

    link_.transport.addRoutes({
        on<AccessoryOpened>(always, [this](auto) { return show(1); }),
        on<MenuChosen>([this](const MenuChosen&) { return state_.screen == Screen::kMainMenu; },
                       [this](MenuChosen choice) { return chosen(choice.item); }),
        on<MenuClosed>(always, reset),
        on<DialogClosed>(shownAnyOf({Screen::kKeyControl, Screen::kErrorPopUp, Screen::kAbout,
                                     Screen::kTextInput, Screen::kPlayerStatus}),
                         reset),
    });
}

std::vector<std::string> MainMenu::items() const {
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

int MainMenu::position(const std::string& item) const {
    const auto list = items();
    const auto it = std::find(list.begin(), list.end(), item);
    return it == list.end() ? 1 : static_cast<int>(it - list.begin()) + 1;
}

Task<void> MainMenu::show(int item) {
    leaveScreen(state_);
    co_await link_.ui.uiSubMenu(texts::kMainTitle, item, items());
}

Task<void> MainMenu::chosen(int item) {
    const auto list = items();
    if (item < 1 || item > static_cast<int>(list.size())) {
        co_return;
    }
    const std::string chosen = list[static_cast<std::size_t>(item - 1)];
    if (chosen == texts::kMoveMouse) {
        co_await keyControl_.enter();
    } else if (chosen == texts::kApplication) {
        co_await applications_.select(1);
    } else if (chosen == texts::kWinamp) {
        co_await onPlayerMenuChosen();
    } else if (chosen == texts::kUsb) {
        co_await usb_.show(1);
    } else if (chosen == texts::kAbout) {
        co_await about_.show();
    }
}

Task<void> MainMenu::resetPhoneUi() {
    link_.timers.disableAll();
    co_await link_.ui.atCmer(false);
    leaveScreen(state_);
    co_await link_.ui.registerAccessoryMenu();
}

}  // namespace zintor
