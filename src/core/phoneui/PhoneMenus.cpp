#include "phoneui/PhoneMenus.h"

#include <algorithm>

#include "link/Link.h"
#include "phoneui/Numbers.h"
#include "phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;
using phoneui::lastCharacter;
using phoneui::menuNumber;
using phoneui::middle;

namespace {
constexpr const char* kInputTextPrefix = "*EAII: 11,";  // 10 characters
constexpr const char* kPopUpClosed = "*EAII: 0";
}  // namespace

PhoneMenus::PhoneMenus(ProgramState& state, Ports& ports, Link& link)
    : state_(state), ports_(ports), link_(link) {
    link.connection.onConnected([this] { return showMainMenu("1"); });
}

std::vector<std::string> PhoneMenus::mainMenuItems() const {
    std::vector<std::string> items{texts::kMoveMouse, texts::kApplication};
    if (!state_.winampPath().empty()) {
        items.emplace_back(texts::kWinamp);
    }
    if (state_.usbBoardPresent) {
        items.emplace_back(texts::kUsb);
    }
    items.emplace_back(texts::kAbout);
    return items;
}

std::string PhoneMenus::mainMenuNumber(const std::string& item) const {
    const auto items = mainMenuItems();
    const auto it = std::find(items.begin(), items.end(), item);
    return std::to_string(it == items.end() ? 1 : (it - items.begin()) + 1);
}

Task<void> PhoneMenus::errorMessage(std::string input, int timeOut, int select) {
    clearModes(state_);
    if (timeOut != 0) {
        state_.modeFlags[ModeErrorPopUp] = true;
        co_await link_.ui.uiPopUp(input, timeOut);
    } else {
        co_await showMainMenu(std::to_string(select));
    }
}

Task<void> PhoneMenus::handleInputText(std::string line) {
    std::string text = middle(line, std::char_traits<char>::length(kInputTextPrefix), line.size());
    std::erase(text, '"');
    // The next input's prompt names what was not typed.
    if (const std::string notice = onTextEntered(text); notice.empty()) {
        co_await link_.ui.showTextInputDialog();
    } else {
        co_await link_.ui.showTextInputDialog(notice);
    }
}

Task<void> PhoneMenus::showMainMenu(std::string item) {
    clearModes(state_);
    co_await link_.ui.uiSubMenu(texts::kMainTitle, menuNumber(item), mainMenuItems());
}

Task<void> PhoneMenus::selectMainMenu(std::string line) {
    // The number stands after "*EAMI: ", in the 8th and 9th characters.
    const int n = menuNumber(middle(line, 7, 2));
    const auto items = mainMenuItems();
    if (n < 1 || n > static_cast<int>(items.size())) {
        co_return;
    }
    const std::string item = items[static_cast<std::size_t>(n - 1)];
    if (item == texts::kMoveMouse) {
        co_await moveMouseSelected();
    } else if (item == texts::kApplication) {
        co_await applicationMenuSelected("11");
    } else if (item == texts::kWinamp) {
        co_await onPlayerMenuChosen();
    } else if (item == texts::kUsb) {
        co_await usbMenuSelected("1");
    } else if (item == texts::kAbout) {
        co_await aboutMenuSelected(true);
    }
}

Task<void> PhoneMenus::handleMenuSelection(std::string line) {
    std::string item = "1";
    if (line == kPopUpClosed && state_.modeFlags[ModeKeyControl]) {
        state_.modeFlags[ModeKeyControl] = false;
        endHoldLoops(state_);
        onKeyControlLeft();
        co_await link_.ui.atCmer(false);
    }
    if (line == kPopUpClosed && state_.modeFlags[ModeWinampMenu]) {
        state_.modeFlags[ModeWinampMenu] = false;
        onKeyControlLeft();
        item = "3";
    }
    co_await showMainMenu(item);
}

Task<void> PhoneMenus::resetPhoneUi() {
    link_.timers.disableAll();
    co_await link_.ui.atCmer(false);
    clearModes(state_);
    co_await link_.ui.registerAccessoryMenu();
}

}  // namespace zintor
