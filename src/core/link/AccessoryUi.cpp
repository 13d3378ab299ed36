// The phone's accessory user interface: one AT command line per screen.

#include "link/Link.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"

namespace zintor {

namespace t = link_texts;

void Link::UI_SubMenu(const std::string& sTitle, int iSelected,
                      const std::vector<std::string>& items) {
    std::string line = "AT*EASM=\"" + Quoted(FirstCharacters(sTitle)) + "\",1," +
                       std::to_string(iSelected) + "," + std::to_string(items.size());
    for (const std::string& item : items) {
        line += ",\"" + Quoted(FirstCharacters(item)) + "\"";
    }
    Send(line + t::kCrLf, t::kMenuTimeOut);
}

void Link::UI_TimedFeedBack(const std::string& sName) {
    Send("AT*EAID=13,2,\"" + Quoted(FirstCharacters(sName)) + "\"" + t::kCrLf, t::kDialogTimeOut);
}

void Link::UI_PopUp(const std::string& sText, std::int32_t lTimeOut) {
    Send("AT*EAID=1,2,\"" + Quoted(sText) + "\"," + std::to_string(lTimeOut) + t::kCrLf,
         t::kDialogTimeOut);
}

void Link::RegisterAccessoryMenu() {
    Send(t::kAtRegisterAccessory, t::kMenuTimeOut);
}

void Link::ShowTextInputDialog() {
    Send(t::kAtTextInput, t::kDialogTimeOut);
}

}  // namespace zintor
