#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zintor {

// What is at the other end of a serial port, as far as the system tells.
enum class PortKind {
    kCable,      // a serial cable or USB serial adapter
    kBluetooth,  // a kBluetooth serial link
    kWeb,        // the web phone
};

// One serial port the system knows.
struct RegisteredPort {
    int number = 0;  // the COM number the program works with
    PortKind kind = PortKind::kCable;
    std::string device;  // the system's name for it ("/dev/ttyUSB0", "\Device\Serial0")
    // False for a device that is not likely to be a phone: the automatic connection does not try
    // it on its round of all ports; it is opened when the user chooses it (or it is the
    // configured port).
    bool tryAutomatically = true;
    // What the port menu shows after the port's label, such as a Bluetooth phone's name; may be
    // empty.
    std::string label{};
};

class PortRegistry {
  public:
    virtual ~PortRegistry() = default;
    // In the system's own enumeration order (not sorted).
    virtual std::vector<RegisteredPort> listPorts() = 0;

    // `changed` is called from the event loop whenever the list may have changed (a device or a
    // pinned link came or went); an empty function ends the reports. A registry that cannot tell
    // never calls it.
    virtual void setChangeListener(std::function<void()> changed) { (void)changed; }

    // Whether another program has COM `port` open now, as far as the system tells; the quiet
    // probe for a phone that comes back leaves such a port alone. A registry that cannot tell
    // says no (where the system opens a port for one program only, opening it fails anyway).
    virtual bool heldElsewhere(int port) {
        (void)port;
        return false;
    }
};

}  // namespace zintor
