#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/Link.h"
#include "link/ReceiveBuffer.h"

namespace zintor {

// The link's private state and the steps that are not part of its public face. Only the files of
// this folder include it.
struct Link::Impl {
    Impl(Link& owner, ProgramState& programState, Ports& worldPorts)
        : link(owner),
          state(programState),
          ports(worldPorts),
          waitingLoop(*this, worldPorts.loop) {}

    // The program's loop, with every wait and pump counted in `waits`.
    class WaitingLoop : public EventLoop {
      public:
        WaitingLoop(Impl& impl, EventLoop& loop) : impl_(impl), loop_(loop) {}
        std::int64_t now() const override { return loop_.now(); }
        void pumpOnce() override {
            Waiting waiting(impl_);
            loop_.pumpOnce();
        }
        void waitFor(const std::function<bool()>& done) override {
            Waiting waiting(impl_);
            loop_.waitFor(done);
        }
        void waitUntil(std::int64_t deadline) override {
            Waiting waiting(impl_);
            loop_.waitUntil(deadline);
        }
        TimerId startTimer(int intervalMs, std::function<void()> tick) override {
            return loop_.startTimer(intervalMs, std::move(tick));
        }
        void stopTimer(TimerId id) override { loop_.stopTimer(id); }
        void post(std::function<void()> call) override { loop_.post(std::move(call)); }

      private:
        struct Waiting {
            explicit Waiting(Impl& impl) : impl_(impl) {
                ++impl_.waits;
                impl_.postReceiveForPendingLines();
            }
            ~Waiting() { --impl_.waits; }
            Waiting(const Waiting&) = delete;
            Waiting& operator=(const Waiting&) = delete;
            Impl& impl_;
        };
        Impl& impl_;
        EventLoop& loop_;
    };

    Link& link;
    ProgramState& state;
    Ports ports;
    WaitingLoop waitingLoop;

    // The running timer of each slot, if any, and what each slot does when it fires.
    std::array<std::optional<EventLoop::TimerId>, kTimerSlotCount> timers{};
    std::array<std::function<void()>, kTimerSlotCount> ticks{};

    std::vector<LineRoute> routes;
    std::vector<std::function<void()>> connectedListeners;

    // The answer to the command sent last: it came (OK, a time-out or the link's end), and it
    // was OK. Commands sent while another waits share them.
    bool answerReceived = false;
    bool answerOk = false;
    // Text from the phone not yet cut into lines and handled.
    ReceiveBuffer rxBuffer;

    // Waits running right now (commands waiting for their answer, pauses, held keys' loops).
    int waits = 0;
    // For each receive event being handled, outermost first: `waits` when it began. A receive
    // event nested in a handler that waits for nothing leaves its lines to the one further out.
    std::vector<int> receiveFrames;
    // A receive call is posted for lines that wait in rxBuffer with no byte left to raise one.
    bool receivePosted = false;

    // Changes whenever the link ends; loops for held keys stop when it does.
    std::uint32_t epoch = 0;
    std::vector<std::function<void()>> linkEndedListeners;

    // Shutdown: from `stopping` on only answers are handled and no port is opened; once
    // `stopped`, nothing is sent.
    bool stopping = false;
    bool stopped = false;

    // A log file that cannot be written is reported once.
    bool logFailureReported = false;

    // Ports offered in the tray's port menu at the last refreshComMenu.
    int offeredPorts = 0;

    // Dispatcher.
    void receive();
    void routeLine(const std::string& line);
    void endLink();  // ring indicator or hang-up
    // Stops everything that acts for the link that ended and tells the listeners.
    void linkEnded();
    // Lines wait in rxBuffer: make sure a receive event will come for them.
    void postReceiveForPendingLines();
    // Receive events nest this deep at most; deeper, only lines that start nothing are handled.
    static constexpr std::size_t kMaxReceiveNesting = 8;
    // Lines wait that no receive event may handle where the program is now.
    bool receiveStalled();

    // Timer slots.
    void supervise();
    void animateTrayIcon();

    // Closes the port the way the supervision and disconnectCom do.
    void closePort();

    // A waiting call: "pump window events once".
    void pumpOnce() { ports.loop.pumpOnce(); }
};

}  // namespace zintor
