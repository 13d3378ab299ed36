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

void Link::Impl::Supervise() {
    ProgramState& s = state;
    link.DisableTimer(5);
    if (stopping) {
        return;
    }
    link.WriteLog(t::kConnectionTesting);
    link.WriteLog(std::string(t::kPortOpen) + (ports.serial.isOpen() ? "True" : "False"));
    s.SupervisionPaused = true;

    for (int probe = 0; probe < kProbes; ++probe) {
        if (link.Send(t::kAt, t::kProbeTimeOut)) {
            link.WriteLog(t::kResponseReset);
            link.ResetTimer(5, 0);
            s.SupervisionPaused = false;
            return;
        }
        link.WriteLog(t::kResponseNone);
    }

    // The phone is gone: close the link (tray tip and caption stay as they are) and rebuild it.
    if (s.Connected) {
        link.WriteLog(t::kClosingPort);
        if (ports.serial.isOpen()) {
            ClosePort();
            link.WriteLog(t::kClosedPort);
        }
        s.Connected = false;
    }
    for (int attempt = 0; attempt < kReconnectTries && !stopping; ++attempt) {
        link.WriteLog(t::kConnectionTry + std::to_string(attempt));
        if (link.ConnectPhone()) {
            link.WriteLog(t::kAutoConnectMade);
            link.ResetTimer(5, 0);
            s.SupervisionPaused = false;
            return;
        }
        link.Wait(1.0f);
    }
    // Slot 5 stays stopped: the user reconnects from the tray menu.
    s.SupervisionPaused = false;
}

void Link::AutoConnectPhone() {
    ProgramState& s = impl_->state;
    RefreshComMenu();
    s.SupervisionPaused = true;
    if (s.ComPort != 0 && ConnectPhone()) {
        WriteLog(t::kAutoConnectMade);
        s.SupervisionPaused = false;
        return;
    }
    // Nested events may rebuild PortList while a port is tried, so it is indexed afresh each time.
    for (std::size_t i = 0; i < s.PortList.size() && !impl_->stopping; ++i) {
        s.ComPort = s.PortList[i].Port;
        if (ConnectPhone()) {
            WriteLog(t::kAutoConnectMade);
            RefreshComMenu();
            break;
        }
        impl_->PumpOnce();
        impl_->PumpOnce();
    }
    s.SupervisionPaused = false;
}

void Link::ConnectClicked() {
    if (impl_->state.Connected) {
        DisconnectCOM();
    } else {
        ConnectPhone();
    }
}

void Link::AutoConnectClicked() {
    ProgramState& s = impl_->state;
    if (s.AutoConnect != 0) {
        s.AutoConnect = 0;
        impl_->ports.desktop.setAutoConnectChecked(false);
        return;
    }
    s.AutoConnect = 1;
    impl_->ports.desktop.setAutoConnectChecked(true);
    if (s.Connected) {
        RefreshComMenu();
    } else {
        AutoConnectPhone();
    }
}

}  // namespace zintor
