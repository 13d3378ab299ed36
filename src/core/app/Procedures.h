#pragma once

#include <string>

namespace zintor {

// The procedures one part of the program calls in another part. The link calls them when a
// line from the phone or a timer says so; Program implements them by handing each call to the
// part that owns it. Tests of a single part put a recording implementation here.
class Procedures {
  public:
    virtual ~Procedures() = default;

    // Phone screens
    virtual void errorMessage(const std::string& input, int timeOut, int select) = 0;
    virtual void handleInputText(const std::string& line) = 0;
    virtual void showMainMenu(const std::string& item) = 0;
    virtual void selectMainMenu(const std::string& line) = 0;
    virtual void handleMenuSelection(const std::string& line) = 0;
    virtual void resetPhoneUi() = 0;
    virtual void applicationMenuSelected(const std::string& text) = 0;
    virtual void moveMouseSelected() = 0;
    virtual void usbMenuSelected(const std::string& text) = 0;
    virtual void usbMenuChoice(const std::string& line) = 0;
    virtual void aboutMenuSelected(bool show) = 0;

    // Media player screens
    virtual void winampMenuSelected(const std::string& text) = 0;
    virtual void winampStatusMenuSelected(const std::string& text) = 0;
    virtual void execute(int command) = 0;

    // Key control
    virtual void keyControlKeyEvent(const std::string& line) = 0;
    virtual void winampStatusKeyEvent(const std::string& line) = 0;
    virtual void typeText(const std::string& text) = 0;
    virtual void closeKeyHelp() = 0;  // closes the key help window if it is open

    // Tray
    virtual void trayIconAnimate() = 0;
};

}  // namespace zintor
