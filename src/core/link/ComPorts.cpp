// The serial port list, the tray's port menu, and choosing a port there.

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/PortList.h"

namespace zintor {

void Link::enumerateComPorts() {
    std::vector<ComPortInfo>& list = impl_->state.portList;
    list.clear();
    for (const RegisteredPort& port : impl_->ports.registry.listPorts()) {
        list.push_back(makeComPortInfo(port));
    }
    sortPortList(list, 0, static_cast<int>(list.size()) - 1);
}

// With no port at all the menu gets no items; the desktop shows that there is none.
void Link::refreshComMenu() {
    enumerateComPorts();
    const auto items = portMenuItems(impl_->state.portList, impl_->state.comPort);
    impl_->offeredPorts = static_cast<int>(items.size());
    impl_->ports.desktop.setPortItems(items);
}

Task<void> Link::portChosen(int index) {
    ProgramState& s = impl_->state;
    if (index < 0 || index >= static_cast<int>(s.portList.size())) {
        co_return;
    }
    ++impl_->portChoices;
    Desktop& desktop = impl_->ports.desktop;
    for (int item = 0; item < impl_->offeredPorts; ++item) {
        desktop.setPortChecked(item, false);
    }
    desktop.setAutoConnectChecked(false);  // autoConnect itself keeps its value
    desktop.setPortChecked(index, true);
    s.comPort = s.portList[index].port;
    if (s.connected) {
        co_await disconnectCom();
    }
    co_await connectPhone();
}

}  // namespace zintor
