#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/link/transport/ReceiveBuffer.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

// The receive side of the link: a burst from the phone is gathered for 10 ms (a timer, not a
// wait), then the received text is cut into lines and every whole line is handed on at once, in
// arrival order. A line is read as UTF-8 when it is valid UTF-8, as ISO 8859-1 otherwise.
class LineReceiver {
  public:
    // `onLine` gets every whole line, once, in the order the phone sent them.
    LineReceiver(ProgramState& state, Ports& ports, std::function<void(std::string)> onLine);
    ~LineReceiver();
    LineReceiver(const LineReceiver&) = delete;
    LineReceiver& operator=(const LineReceiver&) = delete;

    // The serial adapter reported received text.
    void receive();
    // Holds back the steps of held keys' repeats while the phone's lines are being received.
    RepeatGate& repeatGate() { return repeatGate_; }
    // Forgets the whole lines still waiting; an unfinished last line stays.
    void dropWholeLines() { buffer_.dropWholeLines(); }
    // The received text not taken as lines yet.
    std::string_view pending() const { return buffer_.text(); }
    // From now on the received text is no longer cut into lines (the program has shut down).
    void stop() { stopped_ = true; }

  private:
    void takeLines();

    ProgramState& state_;
    Ports& ports_;
    std::function<void(std::string)> onLine_;
    // Text from the phone not yet cut into lines and handed on.
    ReceiveBuffer buffer_;
    // The rest of a burst is being waited for before the received text is cut into lines; the
    // repeats' steps wait meanwhile.
    std::optional<EventLoop::TimerId> gathering_;
    RepeatGate repeatGate_;
    bool stopped_ = false;
};

}  // namespace zintor
