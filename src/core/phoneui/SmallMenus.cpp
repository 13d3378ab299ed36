#include <string_view>

#include "Version.h"
#include "link/Link.h"
#include "link/PhoneText.h"
#include "phoneui/Numbers.h"
#include "phoneui/PhoneMenus.h"
#include "phoneui/PhoneTexts.h"
#include "phoneui/Usb.h"

namespace zintor {

namespace texts = phone_texts;
using phoneui::LastCharacter;
using phoneui::MenuNumber;
using phoneui::Middle;

void PhoneMenus::MoveMouseSelected() {
    if (state_.KeyMaps.empty()) {
        // Key control needs a key map: say so on the phone instead of entering it.
        ErrorMessage(texts::kNoKeyMap, texts::kErrorPopUpTimeOut, 1);
        return;
    }
    ClearModes(state_);
    state_.ModeFlags[ModeKeyControl] = true;
    const int last = static_cast<int>(state_.KeyMaps.size()) - 1;
    state_.CurrentKeyMap =
        (state_.LastKeyMap < 0 || state_.LastKeyMap > last) ? std::int16_t{0} : state_.LastKeyMap;
    link_.UI_TimedFeedBack(state_.KeyMaps[static_cast<std::size_t>(state_.CurrentKeyMap)].Name);
    link_.AT_CMER(true);
}

void PhoneMenus::USBMenuSelected(const std::string& text) {
    state_.ModeFlags[ModeUSBMenu] = true;
    // Built here rather than as a sub menu: the names go out whole, without the 15-character cut.
    std::string line = "AT*EASM=\"";
    line += texts::kUsb;
    line += "\",1,";
    line += text;
    line += ",9,";
    for (const USBOutput& output : state_.USBOutputs) {
        line += '"';
        line += Quoted(output.State ? output.NameOn : output.NameOff);
        line += "\",";
    }
    line += '"';
    line += texts::kUsbReset;
    line += "\"\r\n";
    link_.Send(line, texts::kUsbMenuTimeOut);
}

void PhoneMenus::USBMenuChoice(const std::string& line) {
    const std::string c = LastCharacter(line);
    if (c == "0") {
        // The USB item follows the WinAMP item when there is one.
        ShowMainMenu(state_.WinampPath().empty() ? "3" : "4");
        return;
    }
    const int n = MenuNumber(c);
    if (n == 9) {
        for (USBOutput& output : state_.USBOutputs) {
            output.State = false;
        }
    } else if (n >= 1 && n <= 8) {
        USBOutput& output = state_.USBOutputs[static_cast<std::size_t>(n - 1)];
        output.State = !output.State;
    } else {
        return;
    }
    WriteUSB(state_, ports_.board);
    ReportUsbState();
    USBMenuSelected(c);
}

// The phone shows the wanted states whether or not the board took them; the PC says once why
// the outputs do not follow, and again after the board has worked in between.
void PhoneMenus::ReportUsbState() {
    if (state_.USBOpen) {
        usbFailureShown_ = false;
        return;
    }
    if (usbFailureShown_) {
        return;
    }
    usbFailureShown_ = true;
    link_.WriteLog(texts::kUsbCannotOpen);
    ports_.desktop.notify(texts::kUsbNoticeTitle, texts::kUsbCannotOpen);
}

void PhoneMenus::AboutMenuSelected(bool show) {
    ClearModes(state_);
    if (show) {
        state_.ModeFlags[ModeAbout] = true;
        link_.UI_PopUp(AboutText(), texts::kAboutTimeOut);
    } else {
        ShowMainMenu(MainMenuNumber(texts::kAbout));
    }
}

std::string PhoneMenus::AboutText() {
    std::string text =
        std::string(texts::kMainTitle) + " " + VersionText() + " - " + texts::kAboutDescription;
    if (std::string_view(kHomePage).empty()) {
        return text;
    }
    return text + " - " + kHomePage;
}

}  // namespace zintor
