#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;

// Keeps the tray's port menu in step with the serial ports plugged in and out while the program
// runs, and connects when the configured port appears while autoConnect is on and there is no
// link. The registry reports that the list may have changed; what that means is decided here.
//
// The configured port is the stored one, the one the user picks in the tray, or the one a
// connection was made on (automatic connection walks the list and leaves comPort at the last
// port it tried, which need not be the phone's).
//
// Reports that come while a connection attempt runs or during the supervision's reconnection
// wait until it is over; after stop() nothing is done.
//
// A phone can also come back on a port that stayed listed (a paired Bluetooth phone's port
// stays while the phone is away) after the supervision has given up: while autoConnect is on,
// no link is up and the user has not disconnected, the configured port is probed every
// kProbeEveryMs, unless another program holds it.
class PortFollower {
  public:
    PortFollower(ProgramState& state, Ports& ports, Link& link);
    ~PortFollower();
    PortFollower(const PortFollower&) = delete;
    PortFollower& operator=(const PortFollower&) = delete;

    // Starts listening, with the port list the menu shows now and comPort as the configured port.
    void start();
    void stop();

    // Runs `work`, a connection attempt of the user's or the start-up's: the follower leaves it
    // alone meanwhile and takes its port afterwards (with `portChosen`, the port the user picked;
    // otherwise the one a connection was made on).
    Task<void> attempt(Task<void> work, bool portChosen);

    // Called after anything that may have made a connection: its port becomes the configured one.
    void noteConnection();
    // The user picked comPort in the tray.
    void notePortChosen();
    // The user asked for the link (true: Connect, a port, AutoConnect) or ended it (false:
    // Disconnect); only a wanted link is looked for by the slow probe.
    void noteLinkWanted(bool wanted) { linkWanted_ = wanted; }

    static constexpr int kProbeEveryMs = 30000;

    // Marks a connection attempt made elsewhere for as long as it lives.
    class Attempt {
      public:
        explicit Attempt(PortFollower& follower) : follower_(follower) { ++follower_.attempts_; }
        ~Attempt() { --follower_.attempts_; }
        Attempt(const Attempt&) = delete;
        Attempt& operator=(const Attempt&) = delete;

      private:
        PortFollower& follower_;
    };

    // The registry's report.
    void portsMayHaveChanged();

  private:
    bool busy() const;
    void lookAgainLater();
    void lookAgainNow();
    Task<void> connectConfigured();
    void probe();

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    bool listening_ = false;
    int attempts_ = 0;
    int configured_ = 0;
    std::vector<ComPortInfo> seen_;  // the list at the last look
    std::optional<EventLoop::TimerId> lookAgain_;
    std::optional<EventLoop::TimerId> probe_;
    bool linkWanted_ = true;
};

}  // namespace zintor
