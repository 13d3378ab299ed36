#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ports/PortRegistry.h"
#include "core/ports/SerialLink.h"

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

// One serial link for the program: the web phone's number goes to the web phone, every other
// number to the serial ports.
class SerialSwitch : public SerialLink {
  public:
    SerialSwitch(SerialLink& serial, SerialLink& web, std::function<int()> webNumber);

    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return active_->isOpen(); }
    bool beingMade() const override { return active_->beingMade(); }
    void write(std::string_view bytes) override { active_->write(bytes); }
    std::string takeReceived() override { return active_->takeReceived(); }
    void setReceiveArmed(bool armed) override { active_->setReceiveArmed(armed); }
    void setListener(std::function<void(SerialEvent)> listener) override;

  private:
    SerialLink& serial_;
    SerialLink& web_;
    std::function<int()> webNumber_;
    SerialLink* active_;
};

}  // namespace zintor::web
