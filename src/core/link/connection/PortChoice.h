#pragma once

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class Connection;
class DiagnosticLog;

// Which port the link uses: the list of serial ports, the tray's port menu, the user's choice
// there, the automatic search for the phone, and the tray's Connect and AutoConnect items.
class PortChoice {
  public:
    PortChoice(ProgramState& state, Ports& ports, DiagnosticLog& log, Connection& connection)
        : state_(state), ports_(ports), log_(log), connection_(connection) {}

    // The system's ports, sorted, into the program state.
    void enumerateComPorts();
    // The same, then the port menu rebuilt from them.
    void refreshComMenu();
    Task<void> portChosen(int index);

    // The configured port first, then every port likely to be a phone, until one answers.
    Task<void> autoConnectPhone();
    Task<void> connectClicked();
    Task<void> autoConnectClicked();

  private:
    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
    Connection& connection_;
    // Ports offered in the tray's port menu at the last refreshComMenu.
    int offeredPorts_ = 0;
    // Counts the user's port choices: an automatic search under way gives up on one.
    int portChoices_ = 0;
};

}  // namespace zintor
