#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ports/LogSink.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {

// Date and time texts from the virtual clock: a fixed date ("05.03.2024" unless set) and the
// time of day "HH:MM:SS" counted from a start time (12:00:00 unless set) plus the loop's now().
// Diagnostics are kept in order.
class FakeLogSink : public LogSink {
  public:
    explicit FakeLogSink(const SimEventLoop& loop) : loop_(loop) {}

    std::string dateText() override { return date_; }
    std::string timeText() override;
    void diagnostic(const std::string& message) override { diagnostics_.push_back(message); }

    const std::vector<std::string>& diagnostics() const { return diagnostics_; }

  private:
    const SimEventLoop& loop_;
    std::string date_ = "05.03.2024";
    std::int64_t startSeconds_ = 12 * 3600;
    std::vector<std::string> diagnostics_;
};

}  // namespace zintor
