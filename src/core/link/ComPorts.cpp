// The serial port list, the tray's port menu, and choosing a port there.

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/PortList.h"

namespace zintor {

void Link::EnumerateComPorts() {
    std::vector<ComPortInfo>& list = impl_->state.PortList;
    list.clear();
    for (const RegisteredPort& port : impl_->ports.registry.listPorts()) {
        list.push_back(MakeComPortInfo(port));
    }
    SortPortList(list, 0, static_cast<int>(list.size()) - 1);
}

// With no port at all the menu gets no items; the desktop shows that there is none.
void Link::RefreshComMenu() {
    EnumerateComPorts();
    const auto items = PortMenuItems(impl_->state.PortList, impl_->state.ComPort);
    impl_->offeredPorts = static_cast<int>(items.size());
    impl_->ports.desktop.setPortItems(items);
}

void Link::PortChosen(int index) {
    ProgramState& s = impl_->state;
    if (index < 0 || index >= static_cast<int>(s.PortList.size())) {
        return;
    }
    Desktop& desktop = impl_->ports.desktop;
    for (int item = 0; item < impl_->offeredPorts; ++item) {
        desktop.setPortChecked(item, false);
    }
    desktop.setAutoConnectChecked(false);  // AutoConnect itself keeps its value
    desktop.setPortChecked(index, true);
    s.ComPort = s.PortList[index].Port;
    if (s.Connected) {
        DisconnectCOM();
    }
    ConnectPhone();
}

}  // namespace zintor
