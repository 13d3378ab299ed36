#include "core/phoneui/UsbMenu.h"

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/link/transport/PhoneText.h"
#include "core/phoneui/MainMenu.h"
#include "core/phoneui/PhoneTexts.h"
#include "core/phoneui/Usb.h"

namespace zintor {

namespace texts = phone_texts;

UsbMenu::UsbMenu(ProgramState& state, Ports& ports, Link& link, MainMenu& mainMenu)
    : state_(state), ports_(ports), link_(link), mainMenu_(mainMenu) {
    link.transport.addRoutes({
        on<MenuChosen>([this](const MenuChosen&) { return state_.screen == Screen::kUsbMenu; },
                       [this](MenuChosen choice) { return chosen(choice.lastDigit); }),
    });
}

Task<void> UsbMenu::show(int highlighted) {
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

Task<void> UsbMenu::chosen(int n) {
    if (n == 0) {
        // The USB item follows the WinAMP item when there is one.
        co_await mainMenu_.show(state_.playerPath().empty() ? 3 : 4);
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
    co_await show(n);
}

// The phone shows the wanted states whether or not the board took them; the PC says once why
// the outputs do not follow, and again after the board has worked in between.
void UsbMenu::reportUsbState() {
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

}  // namespace zintor
