#include "core/link/transport/Transport.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/link/transport/LinkTexts.h"
#include "core/link/transport/PhoneText.h"
#include "core/link/transport/TimerSlots.h"
#include "core/log/DiagnosticLog.h"
#include "core/shared/Pause.h"

namespace zintor {

namespace t = link_texts;

Transport::Transport(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers)
    : state_(state), ports_(ports), log_(log), timers_(timers) {
    // A command's time-out ends it with failure.
    timers_.onTick(TimerSlot::kCommandTimeOut, [this] { answer(false); });
}

Transport::~Transport() {
    dropTasks();
    timers_.release(TimerSlot::kCommandTimeOut);
}

Task<bool> Transport::send(std::string toSend, std::int32_t timeOut) {
    // Every line to the phone passes here: whatever text it carries, it is one command line the
    // phone can read.
    Command command(*this, toPhoneLine(toSend), timeOut);
    co_return co_await command;
}

void Transport::enqueue(Command* command) {
    queued_.push_back(command);
    writeNext();
}

void Transport::writeNext() {
    std::vector<Command*> refused;
    while (onWire_ == nullptr && !queued_.empty()) {
        Command* command = queued_.front();
        queued_.pop_front();
        if (!state_.connected || stopped_) {
            refused.push_back(command);
            continue;
        }
        onWire_ = command;
        timers_.disable(TimerSlot::kSupervision);
        timers_.reset(TimerSlot::kCommandTimeOut, command->timeOut);
        ports_.serial.write(command->line);
        ports_.serial.setReceiveArmed(true);
    }
    for (Command* command : refused) {
        command->ok = false;
        command->waiting.resume();
    }
}

void Transport::answer(bool ok) {
    Command* command = std::exchange(onWire_, nullptr);
    if (command == nullptr) {
        return;
    }
    if (!ok) {
        log_.write(t::kCommandFailed + std::string(receiver_.pending()));
    }
    timers_.disable(TimerSlot::kCommandTimeOut);
    if (!state_.supervisionPaused) {
        timers_.reset(TimerSlot::kSupervision);
    }
    command->ok = ok;
    // The task that sent it goes on first: what it does about the answer (close the link, say)
    // decides whether the next command still goes out.
    if (command != &dropped_) {
        command->waiting.resume();
    }
    writeNext();
}

void Transport::failCommands() {
    answer(false);
    writeNext();
}

void Transport::forget(Command* command) {
    if (command == &dropped_) {
        onWire_ = onWire_ == command ? nullptr : onWire_;
        return;
    }
    if (onWire_ == command) {
        onWire_ = &dropped_;  // its answer or time-out still ends it
    }
    std::erase(queued_, command);
}

Task<void> Transport::wait(float seconds) {
    if (!(seconds > 0.0f)) {
        co_return;
    }
    // Longer than a day is not a pause anybody asks for; it also keeps the sum in range.
    constexpr double kLongestWaitMs = 86'400'000.0;
    co_await Pause(ports_.loop,
                   std::llround(std::min(static_cast<double>(seconds) * 1000.0, kLongestWaitMs)));
}

void Transport::start(Task<void> task) {
    tasks_.start(std::move(task));
}

void Transport::dropTasks() {
    routes_.dropScreenTasks();
    tasks_.destroyAll();
}

void Transport::handleLine(std::string line) {
    // The answers to commands: whatever else waits, they go to the command on the wire.
    if (line == "OK") {
        answer(true);
        return;
    }
    if (line == "ERROR" || line.starts_with("+CME ERROR")) {
        answer(false);
        return;
    }
    // While the program shuts down only the answers to its last commands count.
    if (stopping_) {
        return;
    }
    routes_.route(line);
}

}  // namespace zintor
