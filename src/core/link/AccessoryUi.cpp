// The phone's accessory user interface: one AT command line per screen.

#include "link/Link.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"

namespace zintor {

namespace t = link_texts;

void Link::uiSubMenu(const std::string& title, int selected,
                     const std::vector<std::string>& items) {
    std::string line = "AT*EASM=\"" + quoted(firstCharacters(title)) + "\",1," +
                       std::to_string(selected) + "," + std::to_string(items.size());
    for (const std::string& item : items) {
        line += ",\"" + quoted(firstCharacters(item)) + "\"";
    }
    send(line + t::kCrLf, t::kMenuTimeOut);
}

void Link::uiTimedFeedBack(const std::string& name) {
    send("AT*EAID=13,2,\"" + quoted(firstCharacters(name)) + "\"" + t::kCrLf, t::kDialogTimeOut);
}

void Link::uiPopUp(const std::string& text, std::int32_t timeOut) {
    send("AT*EAID=1,2,\"" + quoted(text) + "\"," + std::to_string(timeOut) + t::kCrLf,
         t::kDialogTimeOut);
}

void Link::registerAccessoryMenu() {
    send(t::kAtRegisterAccessory, t::kMenuTimeOut);
}

void Link::showTextInputDialog() {
    showTextInputDialog(t::kDialogTimeOut);
}

void Link::showTextInputDialog(std::int32_t timeOut) {
    send(t::kAtTextInput, timeOut);
}

}  // namespace zintor
