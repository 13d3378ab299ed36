#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ports/PortRegistry.h"

namespace zintor::web {

// The system's serial ports plus the web phone, listed as COM `number` ("WebPhone", so a cable
// port by its label) while a page is connected. A serial device with the same number is left
// out while the web phone is switched on.
class WebPortRegistry : public PortRegistry {
  public:
    // `number`: the web phone's COM number, or 0 while it is switched off; `present`: a page
    // is connected.
    WebPortRegistry(PortRegistry& system, std::function<int()> number,
                    std::function<bool()> present);

    std::vector<RegisteredPort> listPorts() override;
    void setChangeListener(std::function<void()> changed) override;
    bool heldElsewhere(int port) override {
        return port != number_() && system_.heldElsewhere(port);
    }
    // The web phone's port came or went (or was switched on or off).
    void webPortChanged();

    static constexpr const char* kName = "WebPhone";

  private:
    PortRegistry& system_;
    std::function<int()> number_;
    std::function<bool()> present_;
    std::function<void()> changed_;
};

}  // namespace zintor::web
