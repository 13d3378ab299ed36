#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ports/PortRegistry.h"

namespace zintor {

// A serial-port list set by the test, returned in the order given.
class FakePortRegistry : public PortRegistry {
  public:
    std::vector<RegisteredPort> listPorts() override { return ports_; }

    void setPorts(std::vector<RegisteredPort> ports) { ports_ = std::move(ports); }
    void add(std::string name, std::string portText, bool tryAutomatically = true) {
        ports_.push_back(RegisteredPort{std::move(name), std::move(portText), tryAutomatically});
    }

    void setChangeListener(std::function<void()> changed) override {
        changed_ = std::move(changed);
    }
    bool watched() const { return static_cast<bool>(changed_); }
    // Reports a change, as a watching registry does.
    void changed() {
        if (changed_) {
            changed_();
        }
    }

    bool heldElsewhere(int port) override { return held_.count(port) != 0; }
    void setHeld(std::set<int> ports) { held_ = std::move(ports); }

  private:
    std::vector<RegisteredPort> ports_;
    std::set<int> held_;
    std::function<void()> changed_;
};

}  // namespace zintor
