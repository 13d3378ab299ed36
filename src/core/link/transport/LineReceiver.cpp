#include "core/link/transport/LineReceiver.h"

#include <utility>

#include "core/link/transport/Charsets.h"

namespace zintor {

namespace {
constexpr std::int64_t kGatherMs = 10;  // the rest of a burst arrives meanwhile
}  // namespace

LineReceiver::LineReceiver(ProgramState& state, Ports& ports,
                           std::function<void(std::string)> onLine)
    : state_(state), ports_(ports), onLine_(std::move(onLine)) {}

LineReceiver::~LineReceiver() {
    ports_.loop.clearTimer(gathering_);
}

// The first byte of a burst: the rest of it arrives within the next 10 ms, then the received
// text is cut into lines and every whole line is handed on, in order, at once.
void LineReceiver::receive() {
    if (gathering_) {
        return;
    }
    // Anything from the phone ends the cursor's repeat, at its first byte.
    state_.mouseMoving = false;
    repeatGate_.close();
    ports_.serial.setReceiveArmed(false);
    gathering_ = ports_.loop.startTimer(kGatherMs, [this] {
        ports_.loop.clearTimer(gathering_);
        takeLines();
    });
}

void LineReceiver::takeLines() {
    buffer_.append(ports_.serial.takeReceived());
    if (!stopped_) {
        state_.mouseMoving = false;
        while (buffer_.hasLine()) {
            // ISO 8859-1 unless the line is valid UTF-8 (a phone that sends its text as such).
            std::string line = buffer_.takeLine();
            onLine_(isValidUtf8(line) ? std::move(line) : latin1ToUtf8(line));
        }
        ports_.serial.setReceiveArmed(true);
    }
    repeatGate_.open();
}

}  // namespace zintor
