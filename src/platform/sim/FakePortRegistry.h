#pragma once

#include <functional>
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

  private:
    std::vector<RegisteredPort> ports_;
    std::function<void()> changed_;
};

}  // namespace zintor
