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
    virtual void ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) = 0;
    virtual void HandleInputText(const std::string& line) = 0;
    virtual void ShowMainMenu(const std::string& item) = 0;
    virtual void SelectMainMenu(const std::string& line) = 0;
    virtual void HandleMenuSelection(const std::string& line) = 0;
    virtual void ResetPhoneUI() = 0;
    virtual void ApplicationMenuSelected(const std::string& text) = 0;
    virtual void MoveMouseSelected() = 0;
    virtual void USBMenuSelected(const std::string& text) = 0;
    virtual void USBMenuChoice(const std::string& line) = 0;
    virtual void AboutMenuSelected(bool show) = 0;

    // Media player screens
    virtual void WinAMP_Menu_Selected(const std::string& text) = 0;
    virtual void WinAMP_Status_Menu_Selected(const std::string& text) = 0;
    virtual void WinAMP_Execute(int command) = 0;

    // Key control
    virtual void KeyControlKeyEvent(const std::string& line) = 0;
    virtual void WinampStatusKeyEvent(const std::string& line) = 0;
    virtual void TypeText(const std::string& text) = 0;
    virtual void CloseKeyHelp() = 0;  // closes the key help window if it is open

    // Tray
    virtual void TrayIconAnimate() = 0;
};

}  // namespace zintor
