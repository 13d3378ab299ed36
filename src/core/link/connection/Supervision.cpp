// Connection supervision (the Supervision slot): is the phone still there? If not, the link is
// closed and rebuilt.

#include "core/link/connection/Connection.h"
#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/TimerSlots.h"
#include "core/link/transport/Transport.h"
#include "core/log/DiagnosticLog.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr int kProbes = 2;
constexpr int kReconnectTries = 11;
}  // namespace

Task<void> Connection::supervise() {
    ProgramState& s = state_;
    timers_.disable(TimerSlot::kSupervision);
    if (stopping_) {
        co_return;
    }
    log_.write(t::kConnectionTesting);
    log_.write(std::string(t::kPortOpen) + (ports_.serial.isOpen() ? "True" : "False"));
    s.supervisionPaused = true;

    for (int probe = 0; probe < kProbes; ++probe) {
        if (co_await transport_.send(t::kAt, t::kProbeTimeOut)) {
            log_.write(t::kResponseReset);
            timers_.reset(TimerSlot::kSupervision);
            s.supervisionPaused = false;
            co_return;
        }
        log_.write(t::kResponseNone);
    }

    // The phone is gone (its cable pulled from the adapter, say): close the link, tell the tray,
    // and rebuild it.
    if (s.connected) {
        log_.write(t::kClosingPort);
        if (ports_.serial.isOpen()) {
            closePort();
            log_.write(t::kClosedPort);
        }
        s.connected = false;
        ports_.desktop.traySetTip(t::kTipIdle);
        ports_.desktop.setConnectCaption(t::kCaptionConnect);
        transport_.failCommands();
    }
    for (int attempt = 0; attempt < kReconnectTries && !stopping_; ++attempt) {
        if (s.connected) {  // the user connected meanwhile, from the tray menu
            timers_.reset(TimerSlot::kSupervision);
            break;
        }
        log_.write(t::kConnectionTry + std::to_string(attempt));
        if (co_await connectPhone()) {
            log_.write(t::kAutoConnectMade);
            timers_.reset(TimerSlot::kSupervision);
            s.supervisionPaused = false;
            co_return;
        }
        co_await transport_.wait(1.0f);
    }
    // The Supervision slot stays stopped: the user reconnects from the tray menu.
    s.supervisionPaused = false;
}

}  // namespace zintor
