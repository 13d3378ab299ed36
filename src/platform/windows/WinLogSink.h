#pragma once

#include <string>

#include "core/ports/LogSink.h"

namespace zintor {

// Dates and times in the user's short formats (GetDateFormat / GetTimeFormat); diagnostics go to
// the debugger (OutputDebugString) and to standard error when there is one.
class WinLogSink : public LogSink {
  public:
    std::string dateText() override;
    std::string timeText() override;
    void diagnostic(const std::string& message) override;
};

}  // namespace zintor
