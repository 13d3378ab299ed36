#pragma once

#include <functional>
#include <string>

#include "core/ports/SerialLink.h"

namespace zintor::web {

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
