#pragma once

#include <array>
#include <optional>
#include <string>

#include "link/Link.h"

namespace zintor {

// The link's private state and the steps that are not part of its public face. Only the files of
// this folder include it.
struct Link::Impl {
    Impl(Link& owner, ProgramState& programState, Ports& worldPorts, Procedures& calls)
        : link(owner), state(programState), ports(worldPorts), procedures(calls) {}

    Link& link;
    ProgramState& state;
    Ports ports;
    Procedures& procedures;

    // Timer slots 0..5: the running timer of each, if any.
    std::array<std::optional<EventLoop::TimerId>, 6> timers{};

    // An unfinished received line longer than this is dropped (see TakeReceivedText).
    static constexpr std::size_t kMaxPendingLine = 8192;
    static constexpr const char* kDroppedText = "<dropped>";

    // A log file that cannot be written is reported once.
    bool logFailureReported = false;

    // Ports offered in the tray's port menu at the last RefreshComMenu.
    int offeredPorts = 0;

    // Dispatcher.
    void Receive();
    void TakeReceivedText();
    void RouteLine(const std::string& line);
    void EndLink();  // ring indicator or hang-up

    // Timer slots.
    void Tick(int index);
    void Supervise();

    // Closes the port the way the supervision and DisconnectCOM do.
    void ClosePort();

    // A waiting call: "pump window events once".
    void PumpOnce() { ports.loop.pumpOnce(); }
};

}  // namespace zintor
