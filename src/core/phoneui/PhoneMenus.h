#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;

// The phone's screens: the main menu and the screens below it (application list, key-control
// entry, USB outputs, about pop-up, error pop-ups, text input), and the ways back. Which screen
// the phone shows is ProgramState::screen; the screens add the routes of the phone's events on
// them to the link.
class PhoneMenus {
  public:
    PhoneMenus(ProgramState& state, Ports& ports, Link& link);

    // What the screens hand to the other parts; Program connects them.
    std::function<Task<void>()> onPlayerMenuChosen;  // the main menu's media player item
    // A line of the text input dialog to type; gives what the phone names as not typed ("").
    std::function<std::string(const std::string&)> onTextEntered;
    std::function<void()> onKeyControlLeft;     // the key help must close
    std::function<void()> onKeyControlEntered;  // with the key map to use

    // Main menu and the way out (PhoneMenus.cpp).
    // A pop-up of `text` for `timeOut` tenths of a second; closing it goes to the main menu.
    Task<void> showErrorPopUp(std::string text, int timeOut);
    // The main menu with its `item`-th item (1-based) highlighted.
    Task<void> showMainMenu(int item);
    // Back to the phone's own menus, with the program's entry registered again.
    Task<void> resetPhoneUi();

    // Application list (ApplicationMenu.cpp): opened with 1; in the list, item `n` (1-9) starts
    // its program, 0 goes back to the main menu.
    Task<void> applicationMenuSelected(int n);
    void launchApplication(int slot);

    // Key control entry, USB outputs, about (SmallMenus.cpp).
    Task<void> moveMouseSelected();
    // The USB menu with its `highlighted`-th item highlighted.
    Task<void> usbMenuSelected(int highlighted);
    Task<void> showAbout();

    // The main menu's items for the current configuration, in order.
    std::vector<std::string> mainMenuItems() const;
    // The 1-based position of a main menu item (3 for "USB" when Winamp is not set up).
    int mainMenuPosition(const std::string& item) const;

    // The about pop-up's text: name, version, what it is.
    static std::string aboutText();

  private:
    void addRoutes();
    Task<void> mainMenuChosen(int item);
    Task<void> textEntered(std::string text);
    Task<void> leaveKeyControl();
    // The USB menu's choice: its last digit (-1 when it ends in none).
    Task<void> usbMenuChosen(int digit);
    Task<void> closeAbout();
    void reportUsbState();
    // The application slots listed on the phone, in list order.
    std::vector<int> configuredSlots() const;

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    bool usbFailureShown_ = false;  // told the user once that the board cannot be opened
};

}  // namespace zintor
