#pragma once

#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"

namespace zintor {

class Link;

// The phone's screens: the main menu and the screens below it (application list, key-control
// entry, USB outputs, about pop-up, error pop-ups, text input), and the ways back. Which screen
// the phone shows is recorded in the mode flags of ProgramState; the link's line dispatcher
// routes every line from the phone here by those flags.
class PhoneMenus {
  public:
    PhoneMenus(ProgramState& state, Ports& ports, Link& link, Procedures& procedures);

    // Main menu and the way out (PhoneMenus.cpp).
    void ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect);
    void HandleInputText(const std::string& line);
    void ShowMainMenu(const std::string& item);
    void SelectMainMenu(const std::string& line);
    void HandleMenuSelection(const std::string& line);
    void ResetPhoneUI();

    // Application list (ApplicationMenu.cpp).
    void ApplicationMenuSelected(const std::string& text);
    void LaunchApplication(int slot);

    // Key control entry, USB outputs, about (SmallMenus.cpp).
    void MoveMouseSelected();
    void USBMenuSelected(const std::string& text);
    void USBMenuChoice(const std::string& line);
    void AboutMenuSelected(bool show);

    // The main menu's items for the current configuration, in order.
    std::vector<std::string> MainMenuItems() const;
    // The 1-based number of a main menu item, as text ("3" for "USB" when Winamp is not set up).
    std::string MainMenuNumber(const std::string& item) const;

    // The about pop-up's text: name, version, what it is.
    static std::string AboutText();

  private:
    void ReportUsbState();
    // The application slots listed on the phone, in list order.
    std::vector<int> ConfiguredSlots() const;

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    Procedures& procedures_;
    bool usbFailureShown_ = false;  // told the user once that the board cannot be opened
};

}  // namespace zintor
