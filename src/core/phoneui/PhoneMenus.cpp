#include "phoneui/PhoneMenus.h"

#include <algorithm>

#include "link/Link.h"
#include "phoneui/Numbers.h"
#include "phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;
using phoneui::LastCharacter;
using phoneui::MenuNumber;
using phoneui::Middle;

namespace {
constexpr const char* kInputTextPrefix = "*EAII: 11,";  // 10 characters
constexpr const char* kPopUpClosed = "*EAII: 0";
}  // namespace

PhoneMenus::PhoneMenus(ProgramState& state, Ports& ports, Link& link, Procedures& procedures)
    : state_(state), ports_(ports), link_(link), procedures_(procedures) {}

std::vector<std::string> PhoneMenus::MainMenuItems() const {
    std::vector<std::string> items{texts::kMoveMouse, texts::kApplication};
    if (!state_.WinampPath().empty()) {
        items.emplace_back(texts::kWinamp);
    }
    if (state_.USBBoardPresent) {
        items.emplace_back(texts::kUsb);
    }
    items.emplace_back(texts::kAbout);
    return items;
}

std::string PhoneMenus::MainMenuNumber(const std::string& item) const {
    const auto items = MainMenuItems();
    const auto it = std::find(items.begin(), items.end(), item);
    return std::to_string(it == items.end() ? 1 : (it - items.begin()) + 1);
}

void PhoneMenus::ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) {
    ClearModes(state_);
    if (lTimeOut != 0) {
        state_.ModeFlags[ModeErrorPopUp] = true;
        link_.UI_PopUp(sInput, lTimeOut);
    } else {
        ShowMainMenu(std::to_string(iSelect));
    }
}

void PhoneMenus::HandleInputText(const std::string& line) {
    std::string text = Middle(line, std::char_traits<char>::length(kInputTextPrefix), line.size());
    std::erase(text, '"');
    procedures_.TypeText(text);
    link_.ShowTextInputDialog();
}

void PhoneMenus::ShowMainMenu(const std::string& item) {
    ClearModes(state_);
    link_.UI_SubMenu(texts::kMainTitle, MenuNumber(item), MainMenuItems());
}

void PhoneMenus::SelectMainMenu(const std::string& line) {
    // The number stands after "*EAMI: ", in the 8th and 9th characters.
    const int n = MenuNumber(Middle(line, 7, 2));
    const auto items = MainMenuItems();
    if (n < 1 || n > static_cast<int>(items.size())) {
        return;
    }
    const std::string& item = items[static_cast<std::size_t>(n - 1)];
    if (item == texts::kMoveMouse) {
        MoveMouseSelected();
    } else if (item == texts::kApplication) {
        ApplicationMenuSelected("11");
    } else if (item == texts::kWinamp) {
        procedures_.WinAMP_Menu_Selected("99");
    } else if (item == texts::kUsb) {
        USBMenuSelected("1");
    } else if (item == texts::kAbout) {
        AboutMenuSelected(true);
    }
}

void PhoneMenus::HandleMenuSelection(const std::string& line) {
    std::string item = "1";
    if (line == kPopUpClosed && state_.ModeFlags[ModeKeyControl]) {
        state_.ModeFlags[ModeKeyControl] = false;
        EndHoldLoops(state_);
        procedures_.CloseKeyHelp();
        link_.AT_CMER(false);
    }
    if (line == kPopUpClosed && state_.ModeFlags[ModeWinampMenu]) {
        state_.ModeFlags[ModeWinampMenu] = false;
        procedures_.CloseKeyHelp();
        item = "3";
    }
    ShowMainMenu(item);
}

void PhoneMenus::ResetPhoneUI() {
    for (int slot = 0; slot <= 5; ++slot) {
        link_.DisableTimer(slot);
    }
    link_.AT_CMER(false);
    ClearModes(state_);
    link_.RegisterAccessoryMenu();
}

}  // namespace zintor
