#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/SerialLink.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {

class SimPhone;

// The PC's end of a simulated serial cable; it raises its events as QtSerialLink does. What the
// program writes goes to the SimPhone at once; what the phone sends lands in the receive buffer
// and, while receive events are armed, posts one SerialEvent::kReceive (none while one is still
// queued; arming with bytes buffered posts one at once). A posted Receive finds out when it runs
// whether it still has something to report. A device that goes away is heard no more at once;
// its HangUp is posted and closes the port when it runs, unless the program closed it first.
// Break, CTS, DSR and ring are posted too and count only for the session they came in.
class SimSerialLink : public SerialLink {
  public:
    struct Write {
        std::int64_t atMs;
        std::string bytes;
        int session;  // the open it went out on (openCount() then)
    };

    explicit SimSerialLink(SimEventLoop& loop);

    // SerialLink
    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void write(std::string_view bytes) override;
    std::string takeReceived() override;
    void setReceiveArmed(bool armed) override;
    void setListener(std::function<void(SerialEvent)> listener) override;
    bool beingMade() const override { return making_.has_value(); }

    // Which COM ports exist and which are in use by another program. By default every port from
    // 1 to 255 exists and none is busy.
    void setPresentPorts(std::set<int> ports) { present_ = std::move(ports); }
    // From now on each open takes `ms` to bring the link up, as a Bluetooth link's does.
    void setMakeMs(int ms) { makeMs_ = ms; }
    void setBusy(int port, bool busy);
    // The phone answers only on this port (0: on whatever port is opened, the default). Opened on
    // another port, the link is a cable to nothing.
    void setPhonePort(int port) { phonePort_ = port; }

    // Inspection.
    int openPort() const { return open_ ? port_ : 0; }
    const std::string& buffered() const { return buffer_; }
    const std::vector<Write>& writes() const { return writes_; }
    // "open 3", "open 7 failed", "close", "arm", "disarm", "event Receive", ... in order.
    const std::vector<std::string>& history() const { return history_; }
    int openCount() const { return openCount_; }
    // Events the program has yet to hear (they wait for the end of a call that runs a modal
    // window): the port may be closed already.
    int unheard() const { return unheard_; }

    // From the phone side (SimPhone uses these).
    void attach(SimPhone* phone) { phone_ = phone; }
    void deliver(std::string_view bytes);  // bytes arrive now; dropped unless the phone is heard
    void raise(SerialEvent event);         // Break, Ring, Cts, Dsr, or HangUp (the device goes)
    bool phoneConnected() const;           // open on the phone's port, the device there
    // Sees every byte the program takes from the port, as it takes it (bytes a closing port drops
    // never reach it).
    void setTakeTap(std::function<void(std::string_view)> tap) { tap_ = std::move(tap); }

  private:
    void postReceive();
    void deliverReceive();
    void report(SerialEvent event);
    void note(std::string entry);

    SimEventLoop& loop_;
    SimPhone* phone_ = nullptr;
    std::function<void(SerialEvent)> listener_;
    std::function<void(std::string_view)> tap_;
    std::set<int> present_;
    std::set<int> busy_;
    int phonePort_ = 0;
    bool open_ = false;
    int port_ = 0;
    bool armed_ = false;
    bool receivePosted_ = false;
    bool gone_ = false;        // the device went away; it is back when the port is opened again
    unsigned generation_ = 0;  // counts opens: an event of an earlier session is dropped
    int makeMs_ = 0;
    std::optional<EventLoop::TimerId> making_;  // until the link is up
    std::string buffer_;
    std::vector<Write> writes_;
    std::vector<std::string> history_;
    int openCount_ = 0;
    int unheard_ = 0;
};

const char* serialEventName(SerialEvent event);

}  // namespace zintor
