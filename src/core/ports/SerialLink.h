#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zintor {

enum class SerialEvent {
    kReceive,  // bytes arrived while receive events were armed
    kBreak,    // the other side sent a break
    kCts,      // CTS line changed
    kDsr,      // DSR line changed
    kRing,     // ring indicator changed
    kHangUp,  // the device went away (unplugged, Bluetooth dropped, pty closed); the port is closed
    kMade,    // a link that was being made is ready, or could not be made and is closed
};

// The serial line to the phone: 115200 baud, 8 data bits, no parity, 1 stop bit, RTS and DTR on,
// no flow control, every byte kept (NUL included).
class SerialLink {
  public:
    virtual ~SerialLink() = default;

    // Opens COM port `port`. False on any platform error (missing, busy, not a serial device).
    virtual bool open(int port) = 0;
    // Closes the port and disarms it (see setReceiveArmed()).
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // A link that takes a while to be made (a Bluetooth connection) is open from open() on but
    // still being made: bytes cannot pass yet. It raises SerialEvent::kMade when it is ready, or
    // when it could not be made (then it is closed and has said why where the user sees it).
    virtual bool beingMade() const { return false; }

    virtual void write(std::string_view bytes) = 0;

    // All bytes received and not yet taken.
    virtual std::string takeReceived() = 0;

    // While armed, arriving bytes raise SerialEvent::kReceive (as a posted call, never nested
    // inside the adapter's own signal handling). Arming with bytes already buffered raises one
    // at once.
    virtual void setReceiveArmed(bool armed) = 0;

    // Where events go. Events are delivered from the event loop.
    virtual void setListener(std::function<void(SerialEvent)> listener) = 0;
};

}  // namespace zintor
