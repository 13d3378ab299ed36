#pragma once

#include <functional>

#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class ErrorPopUp;
class MainMenu;

// The way into the key-control screen ("Move Mouse") and out of it: entering shows the key map's
// name and switches the phone's keypad reports on; closing it switches them off and goes back to
// the main menu. The keys themselves are KeyControl's.
class KeyControlScreen {
  public:
    KeyControlScreen(ProgramState& state, Link& link, MainMenu& mainMenu, ErrorPopUp& errors);

    // What the screen hands to the key control; Program connects them.
    std::function<void()> onEntered;  // with the key map to use
    std::function<void()> onLeft;     // the key help must close

    // Enters key control with the last key map used, or says on the phone that there is none.
    Task<void> enter();

  private:
    Task<void> leave();

    ProgramState& state_;
    Link& link_;
    MainMenu& mainMenu_;
    ErrorPopUp& errors_;
};

}  // namespace zintor
