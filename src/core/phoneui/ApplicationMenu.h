#pragma once

#include <vector>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class ErrorPopUp;
class MainMenu;

// The list of the programs set up in the settings: choosing one starts it on the PC.
class ApplicationMenu {
  public:
    ApplicationMenu(ProgramState& state, Ports& ports, Link& link, MainMenu& mainMenu,
                    ErrorPopUp& errors);

    // Opened with 1 from the main menu; in the list, item `n` (1-9) starts its program and shows
    // the list again with it highlighted, 0 goes back to the main menu.
    Task<void> select(int n);

  private:
    // Starts the program of `slot`, one of configuredSlots().
    void launch(int slot);
    // The application slots listed on the phone, in list order.
    std::vector<int> configuredSlots() const;

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    MainMenu& mainMenu_;
    ErrorPopUp& errors_;
};

}  // namespace zintor
