#pragma once

// TEMPORARY: stands in for the media player menus (media/WinampMenus.h) until they are built.
// Program uses the real class as soon as that header exists; delete this file then.

#include <string>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "link/Link.h"

namespace zintor {

class PendingWinampMenus {
  public:
    PendingWinampMenus(ProgramState& state, Ports& /*ports*/, Link& link, Procedures& procedures)
        : state_(state), link_(link), procedures_(procedures) {}

    // The phone is told that the player cannot be controlled yet and gets the main menu back.
    void WinAMP_Menu_Selected(const std::string& /*text*/) {
        state_.ModeFlags[ModeWinampMenu] = false;
        procedures_.ErrorMessage("WinAMP control is not available in this build", 80, 3);
    }
    void WinAMP_Status_Menu_Selected(const std::string& /*text*/) {
        state_.ModeFlags[ModeWinampStatus] = false;
        procedures_.ShowMainMenu("3");
    }
    void WinAMP_Execute(int command) {
        link_.WriteLog("WinAMP command " + std::to_string(command) + " ignored: no player control");
    }

  private:
    ProgramState& state_;
    Link& link_;
    Procedures& procedures_;
};

}  // namespace zintor
