#pragma once

#include <vector>

namespace zintor {

class HoldRepeat;

// Holds back the steps of every repeat while the phone's next lines are being received: a step
// that falls due then comes after those lines are routed, so a release already on its way ends
// the repeat first.
class RepeatGate {
  public:
    void close() { closed_ = true; }
    void open();
    bool closed() const { return closed_; }

  private:
    friend class HoldRepeat;
    bool closed_ = false;
    std::vector<HoldRepeat*> waiting_;
};

}  // namespace zintor
