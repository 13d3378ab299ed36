#include "core/link/connection/Supervision.h"

#include <string>

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

Supervision::Supervision(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers,
                         Transport& transport, Connection& connection)
    : state_(state),
      ports_(ports),
      log_(log),
      timers_(timers),
      transport_(transport),
      connection_(connection) {
    timers_.onTick(TimerSlot::kSupervision, [this] { transport_.start(supervise()); });
}

Supervision::~Supervision() {
    timers_.release(TimerSlot::kSupervision);
}

Task<void> Supervision::supervise() {
    ProgramState& s = state_;
    timers_.disable(TimerSlot::kSupervision);
    if (connection_.stopping()) {
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
        connection_.closeLostLink();
    }
    for (int attempt = 0; attempt < kReconnectTries && !connection_.stopping(); ++attempt) {
        if (s.connected) {  // the user connected meanwhile, from the tray menu
            timers_.reset(TimerSlot::kSupervision);
            break;
        }
        log_.write(t::kConnectionTry + std::to_string(attempt));
        if (co_await connection_.connectPhone()) {
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
