#pragma once

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class Connection;
class DiagnosticLog;
class TimerSlots;
class Transport;

// The connection's supervision (the Supervision slot): is the phone still there? If it does not
// answer, the link is closed and rebuilt; after the last try the slot stays stopped and the user
// reconnects from the tray menu.
class Supervision {
  public:
    Supervision(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers,
                Transport& transport, Connection& connection);
    ~Supervision();
    Supervision(const Supervision&) = delete;
    Supervision& operator=(const Supervision&) = delete;

  private:
    Task<void> supervise();

    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
    TimerSlots& timers_;
    Transport& transport_;
    Connection& connection_;
};

}  // namespace zintor
