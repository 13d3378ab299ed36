#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"
#include "core/shared/Trigger.h"

namespace zintor {

class AccessoryUi;
class DiagnosticLog;
class TimerSlots;
class Transport;

// The connection to the phone: opening the serial port and probing the phone, closing it, and
// the serial port's events (break, ring, hang-up). Whether the phone is still there is the
// supervision's concern (`Supervision`).
class Connection {
  public:
    Connection(ProgramState& state, Ports& ports, DiagnosticLog& log, TimerSlots& timers,
               Transport& transport, AccessoryUi& ui);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Task<bool> openComPort(int& port);
    Task<bool> connectPhone();
    Task<void> disconnectCom();
    // The phone no longer answers on a link that is up: the port closes and the tray says so.
    void closeLostLink();

    // Runs when a connection is made, after the accessory menu is registered.
    void onConnected(std::function<Task<void>()> listener);
    // The link ended (hang-up, ring, break, closed by the supervision, Disconnect, shutdown):
    // every hold's flag is already cleared when `listener` runs.
    void onLinkEnded(std::function<void()> listener);

    // Shutdown. From beginShutdown on, only the answers to commands are handled, no port is
    // opened and no connection is tried; endShutdown closes the port if it is still open, and
    // from then on nothing is sent either.
    void beginShutdown();
    void endShutdown();
    bool stopping() const { return stopping_; }

  private:
    void onComm(SerialEvent event);
    // Ring indicator or hang-up.
    void endLink();
    // Stops everything that acts for the link that ended and tells the listeners.
    void linkEnded();
    // Closes the port the way the supervision and disconnectCom do.
    void closePort();
    // Waits, at most kMakeLinkMs, while the serial link is being made; true when it is ready.
    Task<bool> linkReady();
    void animateTrayIcon();

    ProgramState& state_;
    Ports& ports_;
    DiagnosticLog& log_;
    TimerSlots& timers_;
    Transport& transport_;
    AccessoryUi& ui_;

    std::vector<std::function<Task<void>()>> connectedListeners_;
    std::vector<std::function<void()>> linkEndedListeners_;
    // Fired when a link being made is ready or has failed (SerialEvent::kMade), or was closed.
    Trigger linkMade_{ports_.loop};
    bool stopping_ = false;
};

}  // namespace zintor
