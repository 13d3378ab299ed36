#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shared/Ports.h"
#include "shared/ProgramState.h"
#include "shared/Task.h"

namespace zintor {

struct Link;

// The phone's screens: the main menu and the screens below it (application list, key-control
// entry, USB outputs, about pop-up, error pop-ups, text input), and the ways back. Which screen
// the phone shows is recorded in the mode flags of ProgramState; the link's line dispatcher
// routes every line from the phone here by those flags.
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
    Task<void> errorMessage(std::string input, int timeOut, int select);
    Task<void> handleInputText(std::string line);
    Task<void> showMainMenu(std::string item);
    Task<void> selectMainMenu(std::string line);
    Task<void> handleMenuSelection(std::string line);
    Task<void> resetPhoneUi();

    // Application list (ApplicationMenu.cpp).
    Task<void> applicationMenuSelected(std::string text);
    void launchApplication(int slot);

    // Key control entry, USB outputs, about (SmallMenus.cpp).
    Task<void> moveMouseSelected();
    Task<void> usbMenuSelected(std::string text);
    Task<void> usbMenuChoice(std::string line);
    Task<void> aboutMenuSelected(bool show);

    // The main menu's items for the current configuration, in order.
    std::vector<std::string> mainMenuItems() const;
    // The 1-based number of a main menu item, as text ("3" for "USB" when Winamp is not set up).
    std::string mainMenuNumber(const std::string& item) const;

    // The about pop-up's text: name, version, what it is.
    static std::string aboutText();

  private:
    void reportUsbState();
    // The application slots listed on the phone, in list order.
    std::vector<int> configuredSlots() const;

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    bool usbFailureShown_ = false;  // told the user once that the board cannot be opened
};

}  // namespace zintor
