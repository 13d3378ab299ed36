// Where each line from the phone goes: the link takes the answers to its commands, and the rows
// the phone screens set decide about the rest (the first row that matches).

#include <string_view>

#include "link/transport/TimerSlots.h"
#include "link/transport/Transport.h"

namespace zintor {

namespace {

bool lineMatches(const LineRoute& row, std::string_view line) {
    if (row.match == LineRoute::Match::Prefix) {
        return line.starts_with(row.text);
    }
    return line == row.text || (!row.otherText.empty() && line == row.otherText);
}

}  // namespace

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
    for (const LineRoute& row : routes_) {
        if (!lineMatches(row, line) || (row.when && !row.when())) {
            continue;
        }
        if (row.keypad) {
            start(handleKeypad(row, std::move(line)));
        } else {
            screenTasks_.destroyAll();
            screenTasks_.start(row.handle(std::move(line)));
        }
        return;
    }
}

// Key traffic is a sign of life once the key's handling has ended (a held key's repeat ends with
// its release), as long as the link it came on is still there.
Task<void> Transport::handleKeypad(const LineRoute& row, std::string line) {
    co_await row.handle(std::move(line));
    if (state_.connected) {
        timers_.reset(TimerSlot::Supervision);
    }
}

}  // namespace zintor
