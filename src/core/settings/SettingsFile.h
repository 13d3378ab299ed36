#pragma once

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

class DiagnosticLog;

// The stored settings ("Zintor4", section "Settings"): copied to the program state at start-up
// and back whenever they are saved.
class SettingsFile {
  public:
    SettingsFile(ProgramState& state, Ports& ports, DiagnosticLog& log)
        : state_(state), ports_(ports), log_(log) {}

    void load();
    void save();
    // Sets logEnabled from the stored value "Log" ("1" = on; the program never writes it, the
    // user adds it to the settings file).
    void readLogSwitch();

  private:
    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
};

}  // namespace zintor
