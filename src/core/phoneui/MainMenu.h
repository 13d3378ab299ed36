#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/phoneui/AboutPopUp.h"
#include "core/phoneui/ApplicationMenu.h"
#include "core/phoneui/ErrorPopUp.h"
#include "core/phoneui/KeyControlScreen.h"
#include "core/phoneui/TextInput.h"
#include "core/phoneui/UsbMenu.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;

// The program's main menu on the phone, shown when the link comes up and when the user opens the
// program's entry, and the way out of it back to the phone's own menus. It owns the screens below
// it, which come back to it (the key-control screen, the application list, the USB outputs, the
// about pop-up, the error pop-ups, the text input). Which screen the phone shows is
// ProgramState::screen.
class MainMenu {
  public:
    MainMenu(ProgramState& state, Ports& ports, Link& link);
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    // The media player item was chosen; Program connects it to the player's screens.
    std::function<Task<void>()> onPlayerMenuChosen;

    // The main menu with its `item`-th item (1-based) highlighted.
    Task<void> show(int item);

    // The main menu's items for the current configuration, in order.
    std::vector<std::string> items() const;
    // The 1-based position of a main menu item (3 for "USB" when Winamp is not set up).
    int position(const std::string& item) const;

    ErrorPopUp& errorPopUp() { return errors_; }
    KeyControlScreen& keyControlScreen() { return keyControl_; }
    TextInput& textInput() { return textInput_; }

  private:
    void addRoutes();
    Task<void> chosen(int item);
    // Back to the phone's own menus, with the program's entry registered again.
    Task<void> resetPhoneUi();

    ProgramState& state_;
    Link& link_;
    ErrorPopUp errors_;
    KeyControlScreen keyControl_;
    TextInput textInput_;
    ApplicationMenu applications_;
    UsbMenu usb_;
    AboutPopUp about_;
};

}  // namespace zintor
