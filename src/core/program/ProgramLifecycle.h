#pragma once

#include <functional>
#include <vector>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class KeyControl;
struct Link;
class PortFollower;

// The program's start-up and its shutdown: reading the settings and the key maps, the tray icon
// and the automatic connection; at the end, switching the phone's keypad reporting off, closing
// the link, saving and removing the tray icon.
class ProgramLifecycle {
  public:
    ProgramLifecycle(ProgramState& state, Ports& ports, Link& link, KeyControl& keys,
                     PortFollower& portFollower);
    ProgramLifecycle(const ProgramLifecycle&) = delete;
    ProgramLifecycle& operator=(const ProgramLifecycle&) = delete;

    // Returns once the program is set up; the automatic connection goes on from the loop.
    void startup();
    // The shutdown sequence runs once: it switches the phone's keypad reporting off and closes
    // the link (waiting for the phone's answers), then saves and removes the tray icon. `then`
    // runs when it has ended (at once if it has already).
    void shutdown(std::function<void()> then = {});
    // Ends the shutdown here and now, without waiting for the phone any longer.
    void shutdownNow();
    bool hasShutDown() const { return shutDown_; }
    bool shutdownFinished() const { return finished_; }

  private:
    Task<void> finishStartup();
    Task<void> shutdownSequence();
    void finishShutdown();
    void closeAtShutdown();

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    KeyControl& keys_;
    PortFollower& portFollower_;
    bool shutDown_ = false;
    bool finished_ = false;
    std::vector<std::function<void()>> whenShutDown_;
};

}  // namespace zintor
