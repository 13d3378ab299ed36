// Where each line from the phone goes: the link takes the answers to its commands, and the rows
// the phone screens set decide about the rest (the first row that matches).

#include <string_view>

#include "link/Link.h"
#include "link/LinkImpl.h"

namespace zintor {

namespace {

bool lineMatches(const LineRoute& row, std::string_view line) {
    if (row.match == LineRoute::Match::Prefix) {
        return line.starts_with(row.text);
    }
    return line == row.text || (!row.otherText.empty() && line == row.otherText);
}

}  // namespace

void Link::Impl::routeLine(const std::string& line) {
    if (line == "OK") {
        answerOk = true;
        answerReceived = true;
        return;
    }
    // While the program shuts down only the answers to its last commands count.
    if (stopping) {
        return;
    }
    for (const LineRoute& row : routes) {
        if (!lineMatches(row, line) || (row.when && !row.when())) {
            continue;
        }
        if (!row.keypad) {
            row.handle(line);
            return;
        }
        // Receive events come back on before a key is handled, so that its release, received
        // nested, can end a hold-to-repeat loop. A release that came in the same burst as the
        // press is already in the receive buffer, and no new byte would raise an event for it:
        // one is posted for it instead. Key traffic is a sign of life, as long as the link it
        // came on is still there.
        ports.serial.setReceiveArmed(true);
        postReceiveForPendingLines();
        row.handle(line);
        if (state.connected) {
            link.resetTimer(TimerSlot::Supervision);
        }
        return;
    }
}

}  // namespace zintor
