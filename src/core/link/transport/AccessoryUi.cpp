// The phone's accessory user interface: one AT command line per screen.

#include "core/link/transport/AccessoryUi.h"

#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/PhoneText.h"
#include "core/link/transport/Transport.h"

namespace zintor {

namespace t = link_texts;

Task<void> AccessoryUi::uiSubMenu(std::string title, int selected, std::vector<std::string> items) {
    std::string line = "AT*EASM=\"" + quoted(firstCharacters(title)) + "\",1," +
                       std::to_string(selected) + "," + std::to_string(items.size());
    for (const std::string& item : items) {
        line += ",\"" + quoted(firstCharacters(item)) + "\"";
    }
    co_await transport_.send(line + t::kCrLf, t::kMenuTimeOut);
}

Task<void> AccessoryUi::uiTimedFeedBack(std::string name) {
    co_await transport_.send("AT*EAID=13,2,\"" + quoted(firstCharacters(name)) + "\"" + t::kCrLf,
                             t::kDialogTimeOut);
}

Task<void> AccessoryUi::uiPopUp(std::string text, std::int32_t timeOut) {
    co_await transport_.send(
        "AT*EAID=1,2,\"" + quoted(text) + "\"," + std::to_string(timeOut) + t::kCrLf,
        t::kDialogTimeOut);
}

Task<void> AccessoryUi::registerAccessoryMenu() {
    co_await transport_.send(t::kAtRegisterAccessory, t::kMenuTimeOut);
}

Task<void> AccessoryUi::showTextInputDialog() {
    return showTextInputDialog(t::kDialogTimeOut);
}

Task<void> AccessoryUi::showTextInputDialog(std::int32_t timeOut) {
    co_await transport_.send(t::kAtTextInput, timeOut);
}

Task<void> AccessoryUi::showTextInputDialog(std::string prompt) {
    co_await transport_.send(
        std::string(t::kAtTextInputStart) + quoted(prompt) + t::kAtTextInputEnd, t::kDialogTimeOut);
}

Task<void> AccessoryUi::atCmer(bool reporting) {
    return atCmer(reporting, t::kProbeTimeOut);
}

Task<void> AccessoryUi::atCmer(bool reporting, std::int32_t timeOut) {
    co_await transport_.send(reporting ? t::kAtKeysOn : t::kAtKeysOff, timeOut);
}

}  // namespace zintor
