#pragma once

#include <array>
#include <coroutine>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/Link.h"
#include "link/ReceiveBuffer.h"
#include "shared/Waits.h"

namespace zintor {

// The link's private state and the steps that are not part of its public face. Only the files of
// this folder include it.
struct Link::Impl {
    Impl(Link& owner, ProgramState& programState, Ports& worldPorts)
        : link(owner), state(programState), ports(worldPorts) {}

    // A command waiting to go out, or out and waiting for its answer. It lives in the frame of
    // the task that sends it.
    struct Command {
        Impl& impl;
        std::string line;
        std::int32_t timeOut;
        std::coroutine_handle<> waiting{};
        bool ok = false;

        Command(Impl& owner, std::string text, std::int32_t ms)
            : impl(owner), line(std::move(text)), timeOut(ms) {}
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;
        // A task destroyed while its command waits (the program ends) leaves nothing behind.
        ~Command() { impl.forget(this); }

        // A link that is not up refuses the command at once.
        bool await_ready() { return !impl.state.connected || impl.stopped; }
        void await_suspend(std::coroutine_handle<> task) {
            waiting = task;
            impl.enqueue(this);
        }
        bool await_resume() const { return ok; }
    };

    Link& link;
    ProgramState& state;
    Ports ports;
    TaskScope tasks;
    // The handlers of the phone's menu and dialog lines still running: the phone's screen has
    // moved on when the next such line comes, so what they still had to do is dropped then.
    TaskScope screenTasks;

    // The running timer of each slot, if any, and what each slot does when it fires.
    std::array<std::optional<EventLoop::TimerId>, kTimerSlotCount> timers{};
    std::array<std::function<void()>, kTimerSlotCount> ticks{};

    std::vector<LineRoute> routes;
    std::vector<std::function<Task<void>()>> connectedListeners;

    // Commands: the one on the wire, and those waiting behind it in order.
    Command* onWire = nullptr;
    // Stands on the wire for a command whose task was dropped: its answer is still to come and
    // must not be taken for the next command's.
    Command dropped{*this, "", 0};
    std::deque<Command*> queued;
    // Text from the phone not yet cut into lines and handled.
    ReceiveBuffer rxBuffer;
    // The rest of a burst is being waited for before the received text is cut into lines; the
    // repeats' steps wait meanwhile.
    std::optional<EventLoop::TimerId> gathering;
    RepeatGate repeatGate;
    // Fired when a link being made is ready or has failed (SerialEvent::Made), or was closed.
    Trigger linkMade{ports.loop};

    std::vector<std::function<void()>> linkEndedListeners;

    // Shutdown: from `stopping` on only answers are handled and no port is opened; once
    // `stopped`, nothing is sent.
    bool stopping = false;
    bool stopped = false;

    // A log file that cannot be written is reported once.
    bool logFailureReported = false;

    // Ports offered in the tray's port menu at the last refreshComMenu.
    int offeredPorts = 0;
    // Counts the user's port choices: an automatic search under way gives up on one.
    int portChoices = 0;

    // Commands.
    void enqueue(Command* command);
    void writeNext();
    // The command on the wire got its answer (`ok`), or failed (ERROR, time-out, link end).
    void answer(bool ok);
    // The link is down: the command on the wire fails, and so does every one behind it.
    void failCommands();
    void forget(Command* command);

    // Dispatcher.
    void receive();
    void routeLines();
    void routeLine(std::string line);
    Task<void> handleKeypad(Task<void> handling);
    void endLink();  // ring indicator or hang-up
    // Stops everything that acts for the link that ended and tells the listeners.
    void linkEnded();

    // Timer slots.
    Task<void> supervise();
    void animateTrayIcon();

    // Closes the port the way the supervision and disconnectCom do.
    void closePort();
    // Waits, at most kMakeLinkMs, while the serial link is being made; true when it is ready.
    Task<bool> linkReady();
};

}  // namespace zintor
