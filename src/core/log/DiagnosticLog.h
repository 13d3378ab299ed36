#pragma once

#include <string>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

// The diagnostic log: one file per day of start, one line per call, off unless the settings
// switched it on (ProgramState::logEnabled).
class DiagnosticLog {
  public:
    DiagnosticLog(ProgramState& state, Ports& ports) : state_(state), ports_(ports) {}

    // Makes the log's folder and names the day's file; a folder that cannot be made switches the
    // log off.
    void init();
    void write(std::string text);
    const std::string& fileName() const { return fileName_; }

  private:
    ProgramState& state_;
    Ports& ports_;
    std::string fileName_;  // the day's log file, named by init()
    // A log file that cannot be written is reported once.
    bool failureReported_ = false;
};

}  // namespace zintor
