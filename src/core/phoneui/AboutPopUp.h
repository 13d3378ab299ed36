#pragma once

#include <string>

#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class MainMenu;

// The about pop-up of the main menu; when it ends, the main menu comes back with "About"
// highlighted.
class AboutPopUp {
  public:
    AboutPopUp(ProgramState& state, Link& link, MainMenu& mainMenu);

    Task<void> show();

  private:
    // The pop-up's text: name, version, what it is.
    static std::string text();
    Task<void> close();

    ProgramState& state_;
    Link& link_;
    MainMenu& mainMenu_;
};

}  // namespace zintor
