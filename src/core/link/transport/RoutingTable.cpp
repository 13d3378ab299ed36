// Where each line from the phone goes: the link takes the answers to its commands, reads the
// rest as events once, and the rows the parts added decide about those (the first row that takes
// the event).

#include "core/link/transport/TimerSlots.h"
#include "core/link/transport/Transport.h"

namespace zintor {

void Transport::routeLine(std::string line) {
    // The answers to commands: whatever else waits, they go to the command on the wire.
    if (line == "OK") {
        answer(true);
        return;
    }
    if (line == "ERROR" || line.starts_with("+CME ERROR")) {
        answer(false);
        return;
    }
    // While the program shuts down only the answers to its last commands count.
    if (stopping_) {
        return;
    }
    PhoneEvent event = phoneEventOf(line);
    for (const LineRoute& row : routes_) {
        if (!row.takes(event)) {
            continue;
        }
        if (row.keypad) {
            start(handleKeypad(row.handle(std::move(event))));
        } else {
            screenTasks_.destroyAll();
            screenTasks_.start(row.handle(std::move(event)));
        }
        return;
    }
}

// Key traffic is a sign of life once the key's handling has ended (a held key's repeat ends with
// its release), as long as the link it came on is still there.
Task<void> Transport::handleKeypad(Task<void> handling) {
    co_await std::move(handling);
    if (state_.connected) {
        timers_.reset(TimerSlot::kSupervision);
    }
}

}  // namespace zintor
