// The serial port list, the tray's port menu and choosing a port there, and the automatic
// connection.

#include "core/link/connection/PortChoice.h"

#include "core/link/connection/Connection.h"
#include "core/link/connection/PortList.h"
#include "core/link/transport/LinkTexts.h"
#include "core/log/DiagnosticLog.h"

namespace zintor {

namespace t = link_texts;

void PortChoice::enumerateComPorts() {
    state_.portList = sortedPortList(ports_.registry.listPorts());
}

// With no port at all the menu gets no items; the desktop shows that there is none.
void PortChoice::refreshComMenu() {
    enumerateComPorts();
    const auto items = portMenuItems(state_.portList, state_.comPort);
    offeredPorts_ = static_cast<int>(items.size());
    ports_.desktop.setPortItems(items);
}

Task<void> PortChoice::portChosen(int index) {
    ProgramState& s = state_;
    if (index < 0 || index >= static_cast<int>(s.portList.size())) {
        co_return;
    }
    ++portChoices_;
    Desktop& desktop = ports_.desktop;
    for (int item = 0; item < offeredPorts_; ++item) {
        desktop.setPortChecked(item, false);
    }
    desktop.setAutoConnectChecked(false);  // autoConnect itself keeps its value
    desktop.setPortChecked(index, true);
    s.comPort = s.portList[index].port;
    if (s.connected) {
        co_await connection_.disconnectCom();
    }
    co_await connection_.connectPhone();
}

Task<void> PortChoice::autoConnectPhone() {
    ProgramState& s = state_;
    refreshComMenu();
    s.supervisionPaused = true;
    if (s.comPort != 0 && co_await connection_.connectPhone()) {
        log_.write(t::kAutoConnectMade);
        s.supervisionPaused = false;
        co_return;
    }
    // The port list may be rebuilt while a port is tried, so it is indexed afresh each time.
    // Ports that are not likely to be a phone are left alone: opening one can reset the device.
    // The user's choice of a port meanwhile ends the search: the port is theirs.
    const int choices = portChoices_;
    for (std::size_t i = 0; i < s.portList.size() && !connection_.stopping() && !s.connected &&
                            portChoices_ == choices;
         ++i) {
        if (!s.portList[i].tryAutomatically) {
            continue;
        }
        s.comPort = s.portList[i].port;
        if (co_await connection_.connectPhone()) {
            log_.write(t::kAutoConnectMade);
            refreshComMenu();
            break;
        }
    }
    s.supervisionPaused = false;
}

Task<void> PortChoice::connectClicked() {
    if (state_.connected) {
        co_await connection_.disconnectCom();
    } else {
        co_await connection_.connectPhone();
    }
}

Task<void> PortChoice::autoConnectClicked() {
    ProgramState& s = state_;
    if (s.autoConnect) {
        s.autoConnect = false;
        ports_.desktop.setAutoConnectChecked(false);
        co_return;
    }
    s.autoConnect = true;
    ports_.desktop.setAutoConnectChecked(true);
    if (s.connected) {
        refreshComMenu();
    } else {
        co_await autoConnectPhone();
    }
}

}  // namespace zintor
