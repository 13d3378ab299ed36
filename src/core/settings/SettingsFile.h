#pragma once

#include <map>
#include <string>

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
    // A window position as the store held it and as the program took it.
    struct StoredPosition {
        float twips = 0;
        int pixels = 0;
    };

    // Writes a window position in twips; one still where it was read is written back as it was
    // read, so that a position between two pixels keeps its digits.
    void writePosition(const std::string& name, int pixels);

    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
    std::map<std::string, StoredPosition> storedPositions_;  // by value name, as loaded
};

}  // namespace zintor
