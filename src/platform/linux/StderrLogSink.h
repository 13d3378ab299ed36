#pragma once

#include "core/ports/LogSink.h"

namespace zintor {

// Local date and time as ISO texts ("2024-05-17", "14:03:59"); diagnostics go to standard error.
class StderrLogSink : public LogSink {
  public:
    std::string dateText() override;
    std::string timeText() override;
    void diagnostic(const std::string& message) override;
};

}  // namespace zintor
