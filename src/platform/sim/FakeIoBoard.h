#pragma once

#include <string>
#include <vector>

#include "core/ports/IoBoard.h"

namespace zintor {

// A K8055 board for tests: installed or not, a configurable open result, and a record of the
// calls ("open 0", "write 5", "close").
class FakeIoBoard : public IoBoard {
  public:
    bool installed() override { return installed_; }
    int open(int address) override {
        calls_.push_back("open " + std::to_string(address));
        return openResult_;
    }
    void writeAllDigital(int data) override { calls_.push_back("write " + std::to_string(data)); }
    void close() override { calls_.push_back("close"); }

    void setInstalled(bool installed) { installed_ = installed; }
    void setOpenResult(int result) { openResult_ = result; }
    const std::vector<std::string>& calls() const { return calls_; }

  private:
    bool installed_ = true;
    int openResult_ = 0;
    std::vector<std::string> calls_;
};

}  // namespace zintor
