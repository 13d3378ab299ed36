#pragma once

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/ports/PortRegistry.h"

namespace zintor {

// A serial-port list set by the test, returned in the order given.
class FakePortRegistry : public PortRegistry {
  public:
    std::vector<RegisteredPort> listPorts() override { return ports_; }

    void setPorts(std::vector<RegisteredPort> ports) { ports_ = std::move(ports); }
    // A port as the tests write it, the way the Windows registry lists one: the device's name
    // ("BtPort" in it for a Bluetooth port) and its "COM<n>".
    void add(std::string device, const std::string& comText, bool tryAutomatically = true) {
        const int number = comText.starts_with("COM") ? std::atoi(comText.c_str() + 3) : 0;
        const PortKind kind =
            device.find("BtPort") != std::string::npos ? PortKind::kBluetooth : PortKind::kCable;
        ports_.push_back({number, kind, std::move(device), tryAutomatically});
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
