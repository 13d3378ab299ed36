#pragma once

#include <functional>
#include <string>

namespace zintor {

// How an adapter tells the program of a problem without knowing where diagnostics go.
using Diagnostic = std::function<void(const std::string&)>;

// Where the diagnostic log gets its date and time texts, and where problems go that must reach
// a developer even when the log file is off or cannot be written (standard error on Linux).
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual std::string dateText() = 0;  // today, for file names and log lines
    virtual std::string timeText() = 0;  // now, for log lines
    virtual void diagnostic(const std::string& message) = 0;
};

}  // namespace zintor
