#include "platform/web/SerialSwitch.h"

#include <utility>

namespace zintor::web {

SerialSwitch::SerialSwitch(SerialLink& serial, SerialLink& web, std::function<int()> webNumber)
    : serial_(serial), web_(web), webNumber_(std::move(webNumber)), active_(&serial) {}

bool SerialSwitch::open(int port) {
    if (active_->isOpen()) {
        return false;  // in use
    }
    const int web = webNumber_();
    active_ = web > 0 && port == web ? &web_ : &serial_;
    return active_->open(port);
}

void SerialSwitch::close() {
    active_->close();
}

void SerialSwitch::setListener(std::function<void(SerialEvent)> listener) {
    serial_.setListener(listener);
    web_.setListener(std::move(listener));
}

}  // namespace zintor::web
