// Writing AT commands and waiting for their answers; opening, probing and closing the link.

#include <algorithm>
#include <cmath>
#include <string>

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"

namespace zintor {

namespace t = link_texts;

bool Link::Send(const std::string& toSend, std::int32_t lTimeOut) {
    ProgramState& s = impl_->state;
    if (!s.Connected || impl_->stopped) {
        return false;
    }
    DisableTimer(5);
    ResetTimer(0, lTimeOut);
    s.AnswerReceived = false;
    // Every line to the phone passes here: whatever text it carries, it is one command line
    // the phone can read.
    impl_->ports.serial.write(ToPhoneLine(toSend));
    impl_->ports.serial.setReceiveArmed(true);
    s.AnswerOK = false;

    // The receive handler (OK) or the slot 0 tick (time-out) ends the wait; both may run several
    // levels down inside other handlers, and an inner Send shares the same answer state.
    impl_->waitingLoop.waitFor([&s] { return s.AnswerReceived; });

    bool ok = true;
    if (!s.AnswerOK) {
        WriteLog(t::kCommandFailed + std::string(s.RxBuffer.text()));
        ok = false;
    }
    DisableTimer(0);
    if (!s.SupervisionPaused) {
        ResetTimer(5, 0);
    }
    return ok;
}

bool Link::OpenComPort(std::int16_t& nPort) {
    ProgramState& s = impl_->state;
    SerialLink& serial = impl_->ports.serial;

    // Callers pass ComPort itself, so clamping it clamps nPort too.
    if (s.ComPort > 16) {
        s.ComPort = 16;
    }

    auto criticalError = [this] {
        WriteLog(t::kCriticalOpen);
        WriteLog(t::kWrongPort);
        return false;
    };

    // The serial adapter's open() applies the whole configuration: 115200 8N1, RTS and DTR on,
    // no flow control, NUL bytes kept. Choosing another port while one is open is an error; once
    // the program shuts down no port is opened.
    if (serial.isOpen()) {
        return criticalError();
    }

    int failures = 0;
    for (;;) {
        if (impl_->stopping) {
            return false;
        }
        if (!serial.open(nPort)) {
            return criticalError();
        }
        s.Connected = true;
        impl_->PumpOnce();
        if (Send(t::kAt, t::kProbeTimeOut)) {
            WriteLog(t::kOpenConnected);
            break;
        }
        s.Connected = false;
        WriteLog(std::string(t::kFailedOpenCom) + " " + std::to_string(nPort) + t::kAt115200);
        serial.close();
        impl_->LinkEnded();  // keys the phone pressed during the probe are let go
        ++failures;
        if (failures > 1) {
            WriteLog(t::kFailedTried + std::to_string(failures) + t::kTimes);
            return false;
        }
        impl_->PumpOnce();
    }

    WriteLog(t::kCheckingPhone);
    if (!Send(t::kAtModel, t::kModelTimeOut)) {
        s.Connected = false;
        WriteLog(t::kUnsupportedPhone);
        serial.close();
        impl_->LinkEnded();
        return false;
    }
    if (!Send(t::kAtCharSet, t::kProbeTimeOut)) {
        WriteLog(t::kFailedCharSet);
    }
    // Events handled while the commands waited (a hang-up, Disconnect, the shutdown) may have
    // ended the link meanwhile: then there is nothing to call connected.
    if (!s.Connected || !serial.isOpen()) {
        s.Connected = false;
        impl_->LinkEnded();
        return false;
    }
    impl_->ports.desktop.traySetTip(t::kTipConnected);
    impl_->ports.desktop.setConnectCaption(t::kCaptionDisconnect);
    ResetTimer(4, 0);
    s.Connected = true;
    return true;
}

void Link::Impl::ClosePort() {
    for (int index = 0; index < 6; ++index) {
        link.DisableTimer(index);
    }
    ports.serial.setReceiveArmed(false);
    ports.serial.close();
    LinkEnded();
}

void Link::DisconnectCOM() {
    ProgramState& s = impl_->state;
    if (!s.Connected) {
        return;
    }
    RegisterAccessoryMenu();
    WriteLog(t::kClosingPort);
    if (!impl_->ports.serial.isOpen()) {
        return;
    }
    impl_->ClosePort();
    WriteLog(t::kClosedPort);
    impl_->ports.desktop.traySetTip(t::kTipIdle);
    impl_->ports.desktop.setConnectCaption(t::kCaptionConnect);
    s.Connected = false;
}

void Link::AT_CMER(bool bStatus) {
    Send(bStatus ? t::kAtKeysOn : t::kAtKeysOff, t::kProbeTimeOut);
}

bool Link::ConnectPhone() {
    ProgramState& s = impl_->state;
    impl_->ports.desktop.setComLabel(t::kComLabel + std::to_string(s.ComPort));
    if (s.Connected) {
        return false;
    }
    if (!OpenComPort(s.ComPort)) {
        WriteLog(t::kFailedConnect);
        return false;
    }
    WriteLog(t::kMadeConnect);
    if (!Send(t::kAtKeysOff, t::kProbeTimeOut)) {
        WriteLog(t::kFailedCmerOff);
    }
    RegisterAccessoryMenu();
    impl_->procedures.ShowMainMenu("1");
    return true;
}

void Link::Wait(float seconds) {
    // Longer than a day is not a pause anybody asks for; it also keeps the sum in range.
    constexpr double kLongestWaitMs = 86'400'000.0;
    EventLoop& loop = impl_->ports.loop;
    const std::int64_t start = loop.now();
    if (!(seconds > 0.0f)) {
        return;
    }
    const double ms = std::min(static_cast<double>(seconds) * 1000.0, kLongestWaitMs);
    const std::int64_t deadline = start + std::llround(ms);
    if (loop.now() < deadline) {
        impl_->waitingLoop.waitUntil(deadline);
    }
}

void Link::pumpWhileWaiting() {
    impl_->waitingLoop.pumpOnce();
}

EventLoop& Link::waitingLoop() {
    return impl_->waitingLoop;
}

void Link::onLinkEnded(std::function<void()> listener) {
    impl_->linkEndedListeners.push_back(std::move(listener));
}

std::uint32_t Link::linkEpoch() const {
    return impl_->epoch;
}

bool Link::holdGoesOn(std::uint32_t epoch) const {
    return impl_->epoch == epoch && !impl_->ReceiveStalled();
}

void Link::beginShutdown() {
    impl_->stopping = true;
}

void Link::endShutdown() {
    impl_->stopping = true;
    impl_->stopped = true;
}

}  // namespace zintor
