#include "link/Link.h"

#include "link/LinkImpl.h"

namespace zintor {

Link::Link(ProgramState& state, Ports& ports) : impl_(std::make_unique<Impl>(*this, state, ports)) {
    impl_->ports.serial.setListener([this](SerialEvent event) { onComm(event); });
    // A command's time-out ends the waiting send with failure.
    onTick(TimerSlot::CommandTimeOut, [this] {
        impl_->answerReceived = true;
        impl_->answerOk = false;
    });
    onTick(TimerSlot::TrayAnimation, [this] { impl_->animateTrayIcon(); });
    onTick(TimerSlot::Supervision, [this] { impl_->supervise(); });
}

Link::~Link() {
    impl_->ports.serial.setListener({});
    disableAllTimers();
}

std::string_view Link::unhandledText() const {
    return impl_->rxBuffer.text();
}

void Link::setRoutes(std::vector<LineRoute> routes) {
    impl_->routes = std::move(routes);
}

void Link::onConnected(std::function<void()> listener) {
    impl_->connectedListeners.push_back(std::move(listener));
}

}  // namespace zintor
