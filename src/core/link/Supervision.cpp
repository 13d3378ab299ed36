// Connection supervision (slot 5), automatic connection, and the tray menu's link items.

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr int kProbes = 2;
constexpr int kReconnectTries = 11;
}  // namespace

Task<void> Link::Impl::supervise() {
    ProgramState& s = state;
    link.disableTimer(TimerSlot::Supervision);
    if (stopping) {
        co_return;
    }
    link.writeLog(t::kConnectionTesting);
    link.writeLog(std::string(t::kPortOpen) + (ports.serial.isOpen() ? "True" : "False"));
    s.supervisionPaused = true;

    for (int probe = 0; probe < kProbes; ++probe) {
        if (co_await link.send(t::kAt, t::kProbeTimeOut)) {
            link.writeLog(t::kResponseReset);
            link.resetTimer(TimerSlot::Supervision);
            s.supervisionPaused = false;
            co_return;
        }
        link.writeLog(t::kResponseNone);
    }

    // The phone is gone (its cable pulled from the adapter, say): close the link, tell the tray,
    // and rebuild it.
    if (s.connected) {
        link.writeLog(t::kClosingPort);
        if (ports.serial.isOpen()) {
            closePort();
            link.writeLog(t::kClosedPort);
        }
        s.connected = false;
        ports.desktop.traySetTip(t::kTipIdle);
        ports.desktop.setConnectCaption(t::kCaptionConnect);
        failCommands();
    }
    for (int attempt = 0; attempt < kReconnectTries && !stopping; ++attempt) {
        if (s.connected) {  // the user connected meanwhile, from the tray menu
            link.resetTimer(TimerSlot::Supervision);
            break;
        }
        link.writeLog(t::kConnectionTry + std::to_string(attempt));
        if (co_await link.connectPhone()) {
            link.writeLog(t::kAutoConnectMade);
            link.resetTimer(TimerSlot::Supervision);
            s.supervisionPaused = false;
            co_return;
        }
        co_await link.wait(1.0f);
    }
    // Slot 5 stays stopped: the user reconnects from the tray menu.
    s.supervisionPaused = false;
}

Task<void> Link::autoConnectPhone() {
    ProgramState& s = impl_->state;
    refreshComMenu();
    s.supervisionPaused = true;
    if (s.comPort != 0 && co_await connectPhone()) {
        writeLog(t::kAutoConnectMade);
        s.supervisionPaused = false;
        co_return;
    }
    // The port list may be rebuilt while a port is tried, so it is indexed afresh each time.
    // Ports that are not likely to be a phone are left alone: opening one can reset the device.
    // The user's choice of a port meanwhile ends the search: the port is theirs.
    const int choices = impl_->portChoices;
    for (std::size_t i = 0;
         i < s.portList.size() && !impl_->stopping && !s.connected && impl_->portChoices == choices;
         ++i) {
        if (!s.portList[i].tryAutomatically) {
            continue;
        }
        s.comPort = s.portList[i].port;
        if (co_await connectPhone()) {
            writeLog(t::kAutoConnectMade);
            refreshComMenu();
            break;
        }
    }
    s.supervisionPaused = false;
}

Task<void> Link::connectClicked() {
    if (impl_->state.connected) {
        co_await disconnectCom();
    } else {
        co_await connectPhone();
    }
}

Task<void> Link::autoConnectClicked() {
    ProgramState& s = impl_->state;
    if (s.autoConnect != 0) {
        s.autoConnect = 0;
        impl_->ports.desktop.setAutoConnectChecked(false);
        co_return;
    }
    s.autoConnect = 1;
    impl_->ports.desktop.setAutoConnectChecked(true);
    if (s.connected) {
        refreshComMenu();
    } else {
        co_await autoConnectPhone();
    }
}

}  // namespace zintor
