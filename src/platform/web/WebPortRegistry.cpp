#include "platform/web/WebPortRegistry.h"

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

}  // namespace zintor::web
