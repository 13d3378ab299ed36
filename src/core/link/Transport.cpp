// Writing AT commands and waiting for their answers; opening, probing and closing the link.

#include <algorithm>
#include <cmath>
#include <string>

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"
#include "link/PhoneText.h"
#include "shared/Waits.h"

namespace zintor {

namespace t = link_texts;

Task<bool> Link::send(std::string toSend, std::int32_t timeOut) {
    // Every line to the phone passes here: whatever text it carries, it is one command line the
    // phone can read.
    Impl::Command command(*impl_, toPhoneLine(toSend), timeOut);
    co_return co_await command;
}

void Link::Impl::enqueue(Command* command) {
    queued.push_back(command);
    writeNext();
}

void Link::Impl::writeNext() {
    std::vector<Command*> refused;
    while (onWire == nullptr && !queued.empty()) {
        Command* command = queued.front();
        queued.pop_front();
        if (!state.connected || stopped) {
            refused.push_back(command);
            continue;
        }
        onWire = command;
        link.disableTimer(TimerSlot::Supervision);
        link.resetTimer(TimerSlot::CommandTimeOut, command->timeOut);
        ports.serial.write(command->line);
        ports.serial.setReceiveArmed(true);
    }
    for (Command* command : refused) {
        command->ok = false;
        command->waiting.resume();
    }
}

void Link::Impl::answer(bool ok) {
    Command* command = std::exchange(onWire, nullptr);
    if (command == nullptr) {
        return;
    }
    if (!ok) {
        link.writeLog(t::kCommandFailed + std::string(rxBuffer.text()));
    }
    link.disableTimer(TimerSlot::CommandTimeOut);
    if (!state.supervisionPaused) {
        link.resetTimer(TimerSlot::Supervision);
    }
    command->ok = ok;
    // The task that sent it goes on first: what it does about the answer (close the link, say)
    // decides whether the next command still goes out.
    if (command != &dropped) {
        command->waiting.resume();
    }
    writeNext();
}

void Link::Impl::failCommands() {
    answer(false);
    writeNext();
}

void Link::Impl::forget(Command* command) {
    if (command == &dropped) {
        onWire = onWire == command ? nullptr : onWire;
        return;
    }
    if (onWire == command) {
        onWire = &dropped;  // its answer or time-out still ends it
    }
    std::erase(queued, command);
}

Task<bool> Link::openComPort(std::int16_t& port) {
    ProgramState& s = impl_->state;
    SerialLink& serial = impl_->ports.serial;

    // Callers pass comPort itself, so clamping it clamps nPort too.
    if (s.comPort > 16) {
        s.comPort = 16;
    }

    const auto criticalError = [this] {
        writeLog(t::kCriticalOpen);
        writeLog(t::kWrongPort);
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
        if (impl_->stopping) {
            co_return false;
        }
        if (!serial.open(port) || !co_await impl_->linkReady()) {
            if (serial.isOpen()) {
                serial.close();
            }
            criticalError();
            co_return false;
        }
        s.connected = true;
        if (co_await send(t::kAt, t::kProbeTimeOut)) {
            writeLog(t::kOpenConnected);
            break;
        }
        s.connected = false;
        writeLog(std::string(t::kFailedOpenCom) + " " + std::to_string(port) + t::kAt115200);
        serial.close();
        impl_->linkEnded();  // keys the phone pressed during the probe are let go
        impl_->failCommands();
        ++failures;
        if (failures > 1) {
            writeLog(t::kFailedTried + std::to_string(failures) + t::kTimes);
            co_return false;
        }
    }

    writeLog(t::kCheckingPhone);
    if (!co_await send(t::kAtModel, t::kModelTimeOut)) {
        s.connected = false;
        writeLog(t::kUnsupportedPhone);
        serial.close();
        impl_->linkEnded();
        impl_->failCommands();
        co_return false;
    }
    if (!co_await send(t::kAtCharSet, t::kProbeTimeOut)) {
        writeLog(t::kFailedCharSet);
    }
    // Events handled while the commands waited (a hang-up, Disconnect, the shutdown) may have
    // ended the link meanwhile: then there is nothing to call connected.
    if (!s.connected || !serial.isOpen()) {
        s.connected = false;
        impl_->linkEnded();
        impl_->failCommands();
        co_return false;
    }
    impl_->ports.desktop.traySetTip(t::kTipConnected);
    impl_->ports.desktop.setConnectCaption(t::kCaptionDisconnect);
    resetTimer(TimerSlot::TrayAnimation);
    s.connected = true;
    co_return true;
}

void Link::Impl::closePort() {
    link.disableAllTimers();
    ports.serial.setReceiveArmed(false);
    ports.serial.close();
    linkEnded();
    linkMade.fire();
}

Task<bool> Link::Impl::linkReady() {
    SerialLink& serial = ports.serial;
    const std::int64_t deadline = ports.loop.now() + t::kMakeLinkMs;
    while (serial.isOpen() && serial.beingMade() && !stopping) {
        const std::int64_t left = deadline - ports.loop.now();
        if (left <= 0) {
            break;
        }
        co_await linkMade.next(left);
    }
    co_return serial.isOpen() && !serial.beingMade() && !stopping;
}

Task<void> Link::disconnectCom() {
    ProgramState& s = impl_->state;
    if (!s.connected) {
        co_return;
    }
    co_await registerAccessoryMenu();
    writeLog(t::kClosingPort);
    if (!impl_->ports.serial.isOpen()) {
        co_return;
    }
    impl_->closePort();
    writeLog(t::kClosedPort);
    impl_->ports.desktop.traySetTip(t::kTipIdle);
    impl_->ports.desktop.setConnectCaption(t::kCaptionConnect);
    s.connected = false;
    impl_->failCommands();
}

Task<void> Link::atCmer(bool reporting) {
    return atCmer(reporting, t::kProbeTimeOut);
}

Task<void> Link::atCmer(bool reporting, std::int32_t timeOut) {
    co_await send(reporting ? t::kAtKeysOn : t::kAtKeysOff, timeOut);
}

Task<bool> Link::connectPhone() {
    ProgramState& s = impl_->state;
    impl_->ports.desktop.setPortLabel(t::kComLabel + std::to_string(s.comPort));
    if (s.connected) {
        co_return false;
    }
    if (!co_await openComPort(s.comPort)) {
        writeLog(t::kFailedConnect);
        co_return false;
    }
    writeLog(t::kMadeConnect);
    if (!co_await send(t::kAtKeysOff, t::kProbeTimeOut)) {
        writeLog(t::kFailedCmerOff);
    }
    co_await registerAccessoryMenu();
    for (const auto& listener : impl_->connectedListeners) {
        co_await listener();
    }
    co_return true;
}

Task<void> Link::wait(float seconds) {
    if (!(seconds > 0.0f)) {
        co_return;
    }
    // Longer than a day is not a pause anybody asks for; it also keeps the sum in range.
    constexpr double kLongestWaitMs = 86'400'000.0;
    co_await Pause(impl_->ports.loop,
                   std::llround(std::min(static_cast<double>(seconds) * 1000.0, kLongestWaitMs)));
}

void Link::start(Task<void> task) {
    impl_->tasks.start(std::move(task));
}

void Link::dropTasks() {
    impl_->screenTasks.destroyAll();
    impl_->tasks.destroyAll();
}

void Link::onLinkEnded(std::function<void()> listener) {
    impl_->linkEndedListeners.push_back(std::move(listener));
}

RepeatGate& Link::repeatGate() {
    return impl_->repeatGate;
}

void Link::beginShutdown() {
    impl_->stopping = true;
    impl_->linkMade.fire();  // a link still being made is not waited for
}

void Link::endShutdown() {
    impl_->stopping = true;
    impl_->stopped = true;
    // Ended before the phone answered: the port closes without waiting any longer.
    if (impl_->ports.serial.isOpen()) {
        impl_->closePort();
    }
    impl_->state.connected = false;
    impl_->failCommands();
}

}  // namespace zintor
