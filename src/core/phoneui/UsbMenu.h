#pragma once

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class MainMenu;

// The USB board's outputs on the phone: each item switches its output, "Reset" switches all of
// them off, and the menu shows again with the new states.
class UsbMenu {
  public:
    UsbMenu(ProgramState& state, Ports& ports, Link& link, MainMenu& mainMenu);

    // The menu with its `highlighted`-th item highlighted.
    Task<void> show(int highlighted);

  private:
    // The menu's choice: its last digit (-1 when it ends in none).
    Task<void> chosen(int digit);
    void reportUsbState();

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    MainMenu& mainMenu_;
    bool usbFailureShown_ = false;  // told the user once that the board cannot be opened
};

}  // namespace zintor
