#pragma once

#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// A D-Bus session bus of the test's own (dbus-daemon on a socket in a temporary folder), so that
// players started by the test and the adapters under test meet nobody else.
class PrivateSessionBus {
  public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    static bool installed();
    // Starts the daemon and waits until it takes clients.
    bool start();

    // "unix:path=<folder>/bus", for DBUS_SESSION_BUS_ADDRESS.
    const std::string& address() const { return address_; }
    // A temporary folder that lives as long as the bus, for the players' files.
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string socket_;
    std::string address_;
    ChildProcess daemon_;
};

}  // namespace zintor::testing
