#pragma once

#include <string>

#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class MainMenu;

// The pop-up that tells the user on the phone why something could not be done. It ends when its
// time runs out or the user closes it; the main menu follows.
class ErrorPopUp {
  public:
    ErrorPopUp(ProgramState& state, Link& link, MainMenu& mainMenu);

    // A pop-up of `text` for `timeOut` tenths of a second.
    Task<void> show(std::string text, int timeOut);

  private:
    ProgramState& state_;
    Link& link_;
    MainMenu& mainMenu_;
};

}  // namespace zintor
