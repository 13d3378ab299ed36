// The phone's accessory user interface: one AT command line per screen.

#include "link/Link.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"

namespace zintor {

namespace t = link_texts;

Task<void> Link::uiSubMenu(std::string title, int selected, std::vector<std::string> items) {
    std::string line = "AT*EASM=\"" + quoted(firstCharacters(title)) + "\",1," +
                       std::to_string(selected) + "," + std::to_string(items.size());
    for (const std::string& item : items) {
        line += ",\"" + quoted(firstCharacters(item)) + "\"";
    }
    co_await send(line + t::kCrLf, t::kMenuTimeOut);
}

Task<void> Link::uiTimedFeedBack(std::string name) {
    co_await send("AT*EAID=13,2,\"" + quoted(firstCharacters(name)) + "\"" + t::kCrLf,
                  t::kDialogTimeOut);
}

Task<void> Link::uiPopUp(std::string text, std::int32_t timeOut) {
    co_await send("AT*EAID=1,2,\"" + quoted(text) + "\"," + std::to_string(timeOut) + t::kCrLf,
                  t::kDialogTimeOut);
}

Task<void> Link::registerAccessoryMenu() {
    co_await send(t::kAtRegisterAccessory, t::kMenuTimeOut);
}

Task<void> Link::showTextInputDialog() {
    return showTextInputDialog(t::kDialogTimeOut);
}

Task<void> Link::showTextInputDialog(std::int32_t timeOut) {
    co_await send(t::kAtTextInput, timeOut);
}

Task<void> Link::showTextInputDialog(std::string prompt) {
    co_await send(std::string(t::kAtTextInputStart) + quoted(prompt) + t::kAtTextInputEnd,
                  t::kDialogTimeOut);
}

}  // namespace zintor
