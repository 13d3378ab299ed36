#include "link/Link.h"

#include <iterator>

#include "link/LinkImpl.h"

namespace zintor {

Link::Link(ProgramState& state, Ports& ports) : impl_(std::make_unique<Impl>(*this, state, ports)) {
    impl_->ports.serial.setListener([this](SerialEvent event) { onComm(event); });
    // A command's time-out ends it with failure.
    onTick(TimerSlot::CommandTimeOut, [this] { impl_->answer(false); });
    onTick(TimerSlot::TrayAnimation, [this] { impl_->animateTrayIcon(); });
    onTick(TimerSlot::Supervision, [this] { start(impl_->supervise()); });
}

Link::~Link() {
    impl_->ports.serial.setListener({});
    dropTasks();
    disableAllTimers();
    if (impl_->gathering) {
        impl_->ports.loop.stopTimer(*impl_->gathering);
    }
}

void Link::addRoutes(std::vector<LineRoute> routes) {
    impl_->routes.insert(impl_->routes.end(), std::make_move_iterator(routes.begin()),
                         std::make_move_iterator(routes.end()));
}

void Link::onConnected(std::function<Task<void>()> listener) {
    impl_->connectedListeners.push_back(std::move(listener));
}

}  // namespace zintor
