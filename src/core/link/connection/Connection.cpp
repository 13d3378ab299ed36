// Opening, probing and closing the link, and the serial port's events.

#include "core/link/connection/Connection.h"

#include <string>

#include "core/link/transport/AccessoryUi.h"
#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/TimerSlots.h"
#include "core/link/transport/Transport.h"
#include "core/log/DiagnosticLog.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr int kFirstIconFrame = 101;
constexpr int kLastIconFrame = 103;
}  // namespace

Connection::Connection(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers,
                       Transport& transport, AccessoryUi& ui)
    : state_(state), ports_(ports), log_(log), timers_(timers), transport_(transport), ui_(ui) {
    ports_.serial.setListener([this](SerialEvent event) { onComm(event); });
    timers_.onTick(TimerSlot::kTrayAnimation, [this] { animateTrayIcon(); });
}

Connection::~Connection() {
    ports_.serial.setListener({});
    timers_.release(TimerSlot::kTrayAnimation);
}

Task<bool> Connection::openComPort(int& port) {
    ProgramState& s = state_;
    SerialLink& serial = ports_.serial;

    // Callers pass comPort itself, so clamping it clamps nPort too.
    if (s.comPort > 16) {
        s.comPort = 16;
    }

    const auto criticalError = [this] {
        log_.write(t::kCriticalOpen);
        log_.write(t::kWrongPort);
    };

    // The serial adapter's open() applies the whole configuration: 115200 8N1, RTS and DTR on,
    // no flow control, NUL bytes kept. Choosing another port while one is open is an error; once
    // the program shuts down no port is opened.
    if (serial.isOpen()) {
        criticalError();
        co_return false;
    }

    int failures = 0;
    for (;;) {
        if (stopping_) {
            co_return false;
        }
        if (!serial.open(port) || !co_await linkReady()) {
            if (serial.isOpen()) {
                serial.close();
            }
            criticalError();
            co_return false;
        }
        s.connected = true;
        if (co_await transport_.send(t::kAt, t::kProbeTimeOut)) {
            log_.write(t::kOpenConnected);
            break;
        }
        s.connected = false;
        log_.write(std::string(t::kFailedOpenCom) + " " + std::to_string(port) + t::kAt115200);
        serial.close();
        linkEnded();  // keys the phone pressed during the probe are let go
        transport_.failCommands();
        ++failures;
        if (failures > 1) {
            log_.write(t::kFailedTried + std::to_string(failures) + t::kTimes);
            co_return false;
        }
    }

    log_.write(t::kCheckingPhone);
    if (!co_await transport_.send(t::kAtModel, t::kModelTimeOut)) {
        s.connected = false;
        log_.write(t::kUnsupportedPhone);
        serial.close();
        linkEnded();
        transport_.failCommands();
        co_return false;
    }
    if (!co_await transport_.send(t::kAtCharSet, t::kProbeTimeOut)) {
        log_.write(t::kFailedCharSet);
    }
    // Events handled while the commands waited (a hang-up, Disconnect, the shutdown) may have
    // ended the link meanwhile (and with it what the link had started): then there is nothing to
    // call connected.
    if (!s.connected || !serial.isOpen()) {
        s.connected = false;
        transport_.failCommands();
        co_return false;
    }
    ports_.desktop.traySetTip(t::kTipConnected);
    ports_.desktop.setConnectCaption(t::kCaptionDisconnect);
    timers_.reset(TimerSlot::kTrayAnimation);
    s.connected = true;
    co_return true;
}

void Connection::closePort() {
    timers_.disableAll();
    ports_.serial.close();
    linkEnded();
    linkMade_.fire();
}

Task<bool> Connection::linkReady() {
    SerialLink& serial = ports_.serial;
    const std::int64_t deadline = ports_.loop.now() + t::kMakeLinkMs;
    while (serial.isOpen() && serial.beingMade() && !stopping_) {
        const std::int64_t left = deadline - ports_.loop.now();
        if (left <= 0) {
            break;
        }
        co_await linkMade_.next(left);
    }
    co_return serial.isOpen() && !serial.beingMade() && !stopping_;
}

Task<void> Connection::disconnectCom() {
    ProgramState& s = state_;
    if (!s.connected) {
        co_return;
    }
    co_await ui_.registerAccessoryMenu();
    log_.write(t::kClosingPort);
    if (!ports_.serial.isOpen()) {
        co_return;
    }
    closePort();
    log_.write(t::kClosedPort);
    ports_.desktop.traySetTip(t::kTipIdle);
    ports_.desktop.setConnectCaption(t::kCaptionConnect);
    s.connected = false;
    transport_.failCommands();
}

void Connection::closeLostLink() {
    log_.write(t::kClosingPort);
    if (ports_.serial.isOpen()) {
        closePort();
        log_.write(t::kClosedPort);
    }
    state_.connected = false;
    ports_.desktop.traySetTip(t::kTipIdle);
    ports_.desktop.setConnectCaption(t::kCaptionConnect);
    transport_.failCommands();
}

Task<bool> Connection::connectPhone() {
    ProgramState& s = state_;
    ports_.desktop.setPortLabel(t::kComLabel + std::to_string(s.comPort));
    if (s.connected) {
        co_return false;
    }
    if (!co_await openComPort(s.comPort)) {
        log_.write(t::kFailedConnect);
        co_return false;
    }
    log_.write(t::kMadeConnect);
    if (!co_await transport_.send(t::kAtKeysOff, t::kProbeTimeOut)) {
        log_.write(t::kFailedCmerOff);
    }
    co_await ui_.registerAccessoryMenu();
    for (const auto& listener : connectedListeners_) {
        co_await listener();
    }
    co_return true;
}

void Connection::onConnected(std::function<Task<void>()> listener) {
    connectedListeners_.push_back(std::move(listener));
}

void Connection::onLinkEnded(std::function<void()> listener) {
    linkEndedListeners_.push_back(std::move(listener));
}

void Connection::beginShutdown() {
    stopping_ = true;
    timers_.beginShutdown();
    transport_.beginShutdown();
    linkMade_.fire();  // a link still being made is not waited for
}

void Connection::endShutdown() {
    stopping_ = true;
    timers_.beginShutdown();
    transport_.endShutdown();
    // Ended before the phone answered: the port closes without waiting any longer.
    if (ports_.serial.isOpen()) {
        closePort();
    }
    state_.connected = false;
    transport_.failCommands();
}

void Connection::onComm(SerialEvent event) {
    ProgramState& s = state_;
    switch (event) {
        case SerialEvent::kBreak:
            s.mouseMoving = false;
            if (s.connected) {
                log_.write(t::kBreakReceived);
                transport_.start(disconnectCom());
            }
            break;
        case SerialEvent::kCts:
            log_.write(t::kCtsChanged);
            break;
        case SerialEvent::kDsr:
            log_.write(t::kDsrChanged);
            break;
        case SerialEvent::kRing:
        case SerialEvent::kHangUp:
            endLink();
            break;
        case SerialEvent::kReceive:
            transport_.receive();
            break;
        case SerialEvent::kMade:
            linkMade_.fire();
            break;
    }
}

// The link ends at once; the command on the wire fails, and the supervision rebuilds the link
// later.
void Connection::endLink() {
    const bool wasConnected = state_.connected;
    ports_.serial.close();
    state_.connected = false;
    ports_.desktop.traySetTip(t::kTipIdle);
    ports_.desktop.setConnectCaption(t::kCaptionConnect);
    if (wasConnected) {
        linkEnded();
        // A held key may have stopped the supervision; it must run to rebuild the link.
        if (!stopping_ && !state_.supervisionPaused && !timers_.running(TimerSlot::kSupervision)) {
            timers_.reset(TimerSlot::kSupervision);
        }
    }
    transport_.failCommands();
    linkMade_.fire();
}

void Connection::linkEnded() {
    transport_.dropWaitingLines();
    state_.mouseMoving = false;
    state_.specialKeyRepeating = false;
    state_.volumeStepping = false;
    state_.playerRepeatVolume = false;
    timers_.disable(TimerSlot::kCursorAcceleration);
    // The icon stays on the frame it shows.
    timers_.disable(TimerSlot::kTrayAnimation);
    for (const auto& listener : linkEndedListeners_) {
        listener();
    }
}

// Frames 101, 102, 103, 101, ... The icon keeps its last frame when the animation stops.
void Connection::animateTrayIcon() {
    state_.iconFrame = state_.iconFrame >= kLastIconFrame ? kFirstIconFrame : state_.iconFrame + 1;
    ports_.desktop.trayShowFrame(state_.iconFrame);
}

}  // namespace zintor
