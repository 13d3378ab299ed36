#include <string_view>

#include "Version.h"
#include "core/keymap/KeyMapLoader.h"
#include "core/link/Link.h"
#include "core/link/transport/PhoneText.h"
#include "core/phoneui/PhoneMenus.h"
#include "core/phoneui/PhoneTexts.h"
#include "core/phoneui/Usb.h"

namespace zintor {

namespace texts = phone_texts;

Task<void> PhoneMenus::moveMouseSelected() {
    if (!keyMapsLoaded(state_.keyMaps)) {
        // Key control needs a key map: say so on the phone instead of entering it.
        co_await showErrorPopUp(texts::kNoKeyMap, texts::kErrorPopUpTimeOut);
        co_return;
    }
    leaveScreen(state_);
    state_.screen = Screen::kKeyControl;
    const int last = static_cast<int>(state_.keyMaps.size()) - 1;
    state_.currentKeyMap =
        (state_.lastKeyMap < 0 || state_.lastKeyMap > last) ? 0 : state_.lastKeyMap;
    if (onKeyControlEntered) {
        onKeyControlEntered();
    }
    co_await link_.ui.uiTimedFeedBack(
        state_.keyMaps[static_cast<std::size_t>(state_.currentKeyMap)].name);
    co_await link_.ui.atCmer(true);
}

Task<void> PhoneMenus::usbMenuSelected(int highlighted) {
    state_.screen = Screen::kUsbMenu;
    // Built here rather than as a sub menu: the names go out whole, without the 15-character cut.
    std::string line = "AT*EASM=\"";
    line += texts::kUsb;
    line += "\",1,";
    line += std::to_string(highlighted);
    line += ",9,";
    for (const USBOutput& output : state_.usbOutputs) {
        line += '"';
        line += quoted(output.state ? output.nameOn : output.nameOff);
        line += "\",";
    }
    line += '"';
    line += texts::kUsbReset;
    line += "\"\r\n";
    co_await link_.transport.send(line, texts::kUsbMenuTimeOut);
}

Task<void> PhoneMenus::usbMenuChosen(int n) {
    if (n == 0) {
        // The USB item follows the WinAMP item when there is one.
        co_await showMainMenu(state_.playerPath().empty() ? 3 : 4);
        co_return;
    }
    if (n == 9) {
        for (USBOutput& output : state_.usbOutputs) {
            output.state = false;
        }
    } else if (n >= 1 && n <= 8) {
        USBOutput& output = state_.usbOutputs[static_cast<std::size_t>(n - 1)];
        output.state = !output.state;
    } else {
        co_return;
    }
    writeUsb(state_, ports_.board);
    reportUsbState();
    co_await usbMenuSelected(n);
}

// The phone shows the wanted states whether or not the board took them; the PC says once why
// the outputs do not follow, and again after the board has worked in between.
void PhoneMenus::reportUsbState() {
    if (state_.usbOpen) {
        usbFailureShown_ = false;
        return;
    }
    if (usbFailureShown_) {
        return;
    }
    usbFailureShown_ = true;
    link_.log.write(texts::kUsbCannotOpen);
    ports_.desktop.notify(texts::kUsbNoticeTitle, texts::kUsbCannotOpen);
}

Task<void> PhoneMenus::showAbout() {
    leaveScreen(state_);
    state_.screen = Screen::kAbout;
    co_await link_.ui.uiPopUp(aboutText(), texts::kAboutTimeOut);
}

Task<void> PhoneMenus::closeAbout() {
    co_await showMainMenu(mainMenuPosition(texts::kAbout));
}

std::string PhoneMenus::aboutText() {
    std::string text =
        std::string(texts::kMainTitle) + " " + versionText() + " - " + texts::kAboutDescription;
    if (std::string_view(kHomePage).empty()) {
        return text;
    }
    return text + " - " + kHomePage;
}

}  // namespace zintor
