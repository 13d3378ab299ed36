#include "platform/web/WebPhonePorts.h"

#include <algorithm>

namespace zintor::web {

WebPortRegistry::WebPortRegistry(PortRegistry& system, std::function<int()> number,
                                 std::function<bool()> present)
    : system_(system), number_(std::move(number)), present_(std::move(present)) {}

std::vector<RegisteredPort> WebPortRegistry::listPorts() {
    std::vector<RegisteredPort> ports = system_.listPorts();
    const int number = number_();
    if (number <= 0) {
        return ports;
    }
    std::erase_if(ports, [&](const RegisteredPort& port) { return port.number == number; });
    if (present_()) {
        ports.push_back({number, PortKind::kWeb, kName});
    }
    return ports;
}

void WebPortRegistry::setChangeListener(std::function<void()> changed) {
    changed_ = changed;
    system_.setChangeListener(std::move(changed));
}

void WebPortRegistry::webPortChanged() {
    if (changed_) {
        changed_();
    }
}

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
