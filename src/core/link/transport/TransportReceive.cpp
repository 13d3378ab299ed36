// Received text cut into lines: a burst is gathered, then every whole line is routed at once.

#include "core/link/transport/Charsets.h"
#include "core/link/transport/Transport.h"

namespace zintor {

namespace {
constexpr std::int64_t kGatherMs = 10;  // the rest of a burst arrives meanwhile
}  // namespace

// The first byte of a burst: the rest of it arrives within the next 10 ms, then the received
// text is cut into lines and every whole line is routed, in order, at once.
void Transport::receive() {
    if (gathering_) {
        return;
    }
    // Anything from the phone ends the cursor's repeat, at its first byte.
    state_.mouseMoving = false;
    repeatGate_.close();
    ports_.serial.setReceiveArmed(false);
    gathering_ = ports_.loop.startTimer(kGatherMs, [this] {
        ports_.loop.stopTimer(*gathering_);
        gathering_.reset();
        routeLines();
    });
}

void Transport::routeLines() {
    rxBuffer_.append(ports_.serial.takeReceived());
    if (!stopped_) {
        state_.mouseMoving = false;
        while (rxBuffer_.hasLine()) {
            // ISO 8859-1 unless the line is valid UTF-8 (a phone that sends its text as such).
            std::string line = rxBuffer_.takeLine();
            routeLine(isValidUtf8(line) ? std::move(line) : latin1ToUtf8(line));
        }
        ports_.serial.setReceiveArmed(true);
    }
    repeatGate_.open();
}

}  // namespace zintor
