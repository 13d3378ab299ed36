#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "shared/Ports.h"
#include "shared/ProgramState.h"
#include "shared/Task.h"

namespace zintor {

class Link;

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
class PortFollower {
  public:
    PortFollower(ProgramState& state, Ports& ports, Link& link);
    ~PortFollower();
    PortFollower(const PortFollower&) = delete;
    PortFollower& operator=(const PortFollower&) = delete;

    // Starts listening, with the port list the menu shows now and comPort as the configured port.
    void start();
    void stop();

    // Called after anything that may have made a connection: its port becomes the configured one.
    void noteConnection();
    // The user picked comPort in the tray.
    void notePortChosen();

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

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    bool listening_ = false;
    int attempts_ = 0;
    std::int16_t configured_ = 0;
    std::vector<ComPortInfo> seen_;  // the list at the last look
    std::optional<EventLoop::TimerId> lookAgain_;
};

}  // namespace zintor
