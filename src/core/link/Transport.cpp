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

bool Link::send(const std::string& toSend, std::int32_t timeOut) {
    ProgramState& s = impl_->state;
    if (!s.connected || impl_->stopped) {
        return false;
    }
    disableTimer(TimerSlot::Supervision);
    resetTimer(TimerSlot::CommandTimeOut, timeOut);
    impl_->answerReceived = false;
    // Every line to the phone passes here: whatever text it carries, it is one command line
    // the phone can read.
    impl_->ports.serial.write(toPhoneLine(toSend));
    impl_->ports.serial.setReceiveArmed(true);
    impl_->answerOk = false;

    // The receive handler (OK) or the slot 0 tick (time-out) ends the wait; both may run several
    // levels down inside other handlers, and an inner Send shares the same answer state.
    impl_->waitingLoop.waitFor([impl = impl_.get()] { return impl->answerReceived; });

    bool ok = true;
    if (!impl_->answerOk) {
        writeLog(t::kCommandFailed + std::string(impl_->rxBuffer.text()));
        ok = false;
    }
    disableTimer(TimerSlot::CommandTimeOut);
    if (!s.supervisionPaused) {
        resetTimer(TimerSlot::Supervision);
    }
    return ok;
}

bool Link::openComPort(std::int16_t& port) {
    ProgramState& s = impl_->state;
    SerialLink& serial = impl_->ports.serial;

    // Callers pass comPort itself, so clamping it clamps nPort too.
    if (s.comPort > 16) {
        s.comPort = 16;
    }

    auto criticalError = [this] {
        writeLog(t::kCriticalOpen);
        writeLog(t::kWrongPort);
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
        if (!serial.open(port)) {
            return criticalError();
        }
        s.connected = true;
        impl_->pumpOnce();
        if (send(t::kAt, t::kProbeTimeOut)) {
            writeLog(t::kOpenConnected);
            break;
        }
        s.connected = false;
        writeLog(std::string(t::kFailedOpenCom) + " " + std::to_string(port) + t::kAt115200);
        serial.close();
        impl_->linkEnded();  // keys the phone pressed during the probe are let go
        ++failures;
        if (failures > 1) {
            writeLog(t::kFailedTried + std::to_string(failures) + t::kTimes);
            return false;
        }
        impl_->pumpOnce();
    }

    writeLog(t::kCheckingPhone);
    if (!send(t::kAtModel, t::kModelTimeOut)) {
        s.connected = false;
        writeLog(t::kUnsupportedPhone);
        serial.close();
        impl_->linkEnded();
        return false;
    }
    if (!send(t::kAtCharSet, t::kProbeTimeOut)) {
        writeLog(t::kFailedCharSet);
    }
    // Events handled while the commands waited (a hang-up, Disconnect, the shutdown) may have
    // ended the link meanwhile: then there is nothing to call connected.
    if (!s.connected || !serial.isOpen()) {
        s.connected = false;
        impl_->linkEnded();
        return false;
    }
    impl_->ports.desktop.traySetTip(t::kTipConnected);
    impl_->ports.desktop.setConnectCaption(t::kCaptionDisconnect);
    resetTimer(TimerSlot::TrayAnimation);
    s.connected = true;
    return true;
}

void Link::Impl::closePort() {
    link.disableAllTimers();
    ports.serial.setReceiveArmed(false);
    ports.serial.close();
    linkEnded();
}

void Link::disconnectCom() {
    ProgramState& s = impl_->state;
    if (!s.connected) {
        return;
    }
    registerAccessoryMenu();
    writeLog(t::kClosingPort);
    if (!impl_->ports.serial.isOpen()) {
        return;
    }
    impl_->closePort();
    writeLog(t::kClosedPort);
    impl_->ports.desktop.traySetTip(t::kTipIdle);
    impl_->ports.desktop.setConnectCaption(t::kCaptionConnect);
    s.connected = false;
}

void Link::atCmer(bool reporting) {
    atCmer(reporting, t::kProbeTimeOut);
}

void Link::atCmer(bool reporting, std::int32_t timeOut) {
    send(reporting ? t::kAtKeysOn : t::kAtKeysOff, timeOut);
}

bool Link::connectPhone() {
    ProgramState& s = impl_->state;
    impl_->ports.desktop.setComLabel(t::kComLabel + std::to_string(s.comPort));
    if (s.connected) {
        return false;
    }
    if (!openComPort(s.comPort)) {
        writeLog(t::kFailedConnect);
        return false;
    }
    writeLog(t::kMadeConnect);
    if (!send(t::kAtKeysOff, t::kProbeTimeOut)) {
        writeLog(t::kFailedCmerOff);
    }
    registerAccessoryMenu();
    for (const auto& listener : impl_->connectedListeners) {
        listener();
    }
    return true;
}

void Link::wait(float seconds) {
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
    return impl_->epoch == epoch && !impl_->receiveStalled();
}

void Link::beginShutdown() {
    impl_->stopping = true;
}

void Link::endShutdown() {
    impl_->stopping = true;
    impl_->stopped = true;
}

}  // namespace zintor
