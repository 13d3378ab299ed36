#pragma once

#include <coroutine>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/link/transport/LineReceiver.h"
#include "core/link/transport/LineRoute.h"
#include "core/link/transport/RoutingTable.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class DiagnosticLog;
class TimerSlots;

// The AT transport: commands to the phone one at a time with their answers, and the tasks the
// phone's lines, ticks and clicks start. The lines come from its receiver (`LineReceiver`); it
// takes the answers to its commands itself and hands the rest to its routing table
// (`RoutingTable`).
class Transport {
  public:
    Transport(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers);
    ~Transport();
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // `toSend` is the whole line including CR LF. Commands go out one at a time, in the order
    // they were asked for; each ends with its own answer: true on OK, false on ERROR,
    // +CME ERROR, its time-out or the link's end.
    Task<bool> send(std::string toSend, std::int32_t timeOut);
    // A pause of `seconds`; none at all for zero or less.
    Task<void> wait(float seconds);

    // Starts `task` on its own: a line's handler, a timer's or a click's work. It belongs to the
    // transport, which ends whatever still waits when the program goes.
    void start(Task<void> task);
    // Destroys every task still waiting (the program is going).
    void dropTasks();

    // Where the events from the phone go: each part adds the rows of its screens (the transport
    // takes the answers to its commands itself, first).
    void addRoutes(std::vector<LineRoute> routes) { routes_.addRoutes(std::move(routes)); }
    // The serial adapter reported received text.
    void receive() { receiver_.receive(); }
    // Holds back the steps of held keys' repeats while the phone's lines are being received.
    RepeatGate& repeatGate() { return receiver_.repeatGate(); }

    // The link is down: the command on the wire fails, and so does every one behind it.
    void failCommands();
    // Lines still waiting came on a link that has gone: they must not act on the next one.
    void dropWaitingLines() { receiver_.dropWholeLines(); }

    // From beginShutdown on, only the answers to commands are handled; from endShutdown on,
    // nothing is sent either.
    void beginShutdown() { stopping_ = true; }
    void endShutdown() {
        stopping_ = stopped_ = true;
        receiver_.stop();
    }

  private:
    // A command waiting to go out, or out and waiting for its answer. It lives in the frame of
    // the task that sends it.
    struct Command {
        Transport& transport;
        std::string line;
        std::int32_t timeOut;
        std::coroutine_handle<> waiting{};
        bool ok = false;

        Command(Transport& owner, std::string text, std::int32_t ms)
            : transport(owner), line(std::move(text)), timeOut(ms) {}
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;
        // A task destroyed while its command waits (the program ends) leaves nothing behind.
        ~Command() { transport.forget(this); }

        // A link that is not up refuses the command at once.
        bool await_ready() { return !transport.state_.connected || transport.stopped_; }
        void await_suspend(std::coroutine_handle<> task) {
            waiting = task;
            transport.enqueue(this);
        }
        bool await_resume() const { return ok; }
    };

    void enqueue(Command* command);
    void writeNext();
    // The command on the wire got its answer (`ok`), or failed (ERROR, time-out, link end).
    void answer(bool ok);
    void forget(Command* command);

    // A whole line from the phone: an answer ends the command on the wire, anything else is
    // routed.
    void handleLine(std::string line);

    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
    TimerSlots& timers_;
    TaskScope tasks_;
    RoutingTable routes_{state_, timers_, tasks_};

    // Commands: the one on the wire, and those waiting behind it in order.
    Command* onWire_ = nullptr;
    // Stands on the wire for a command whose task was dropped: its answer is still to come and
    // must not be taken for the next command's.
    Command dropped_{*this, "", 0};
    std::deque<Command*> queued_;

    LineReceiver receiver_{state_, ports_,
                           [this](std::string line) { handleLine(std::move(line)); }};

    bool stopping_ = false;
    bool stopped_ = false;
};

}  // namespace zintor
