#include "platform/sim/SimSerialLink.h"

#include "platform/sim/SimPhone.h"

namespace zintor {

const char* serialEventName(SerialEvent event) {
    switch (event) {
        case SerialEvent::kReceive:
            return "Receive";
        case SerialEvent::kBreak:
            return "Break";
        case SerialEvent::kCts:
            return "Cts";
        case SerialEvent::kDsr:
            return "Dsr";
        case SerialEvent::kRing:
            return "Ring";
        case SerialEvent::kHangUp:
            return "HangUp";
        case SerialEvent::kMade:
            return "Made";
    }
    return "?";
}

SimSerialLink::SimSerialLink(SimEventLoop& loop) : loop_(loop) {
    for (int port = 1; port <= 255; ++port) {
        present_.insert(port);
    }
}

void SimSerialLink::note(std::string entry) {
    history_.push_back(std::move(entry));
}

void SimSerialLink::setBusy(int port, bool busy) {
    if (busy) {
        busy_.insert(port);
    } else {
        busy_.erase(port);
    }
}

bool SimSerialLink::open(int port) {
    if (open_ || present_.count(port) == 0 || busy_.count(port) != 0) {
        note("open " + std::to_string(port) + " failed");
        return false;
    }
    open_ = true;
    port_ = port;
    armed_ = false;
    receivePosted_ = false;
    gone_ = false;
    ++generation_;
    ++openCount_;
    note("open " + std::to_string(port));
    if (makeMs_ > 0) {
        making_ = loop_.startTimer(makeMs_, [this] {
            loop_.clearTimer(making_);
            report(SerialEvent::kMade);
        });
    }
    return true;
}

void SimSerialLink::close() {
    if (!open_) {
        return;
    }
    open_ = false;
    armed_ = false;
    loop_.clearTimer(making_);
    buffer_.clear();
    note("close");
}

bool SimSerialLink::phoneConnected() const {
    return open_ && !gone_ && phone_ != nullptr && (phonePort_ == 0 || phonePort_ == port_);
}

void SimSerialLink::write(std::string_view bytes) {
    if (!open_) {
        note("write while closed");
        return;
    }
    writes_.push_back(Write{loop_.now(), std::string(bytes), openCount_});
    if (phoneConnected()) {
        phone_->receiveFromLink(bytes);
    }
}

std::string SimSerialLink::takeReceived() {
    std::string out;
    out.swap(buffer_);
    if (tap_ && !out.empty()) {
        tap_(out);
    }
    return out;
}

void SimSerialLink::setReceiveArmed(bool armed) {
    if (armed != armed_) {
        note(armed ? "arm" : "disarm");
    }
    armed_ = armed;
    if (armed_ && open_ && !buffer_.empty()) {
        postReceive();
    }
}

void SimSerialLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = std::move(listener);
}

void SimSerialLink::postReceive() {
    if (receivePosted_) {
        return;
    }
    receivePosted_ = true;
    loop_.postForAdapter([this] { deliverReceive(); });
}

void SimSerialLink::deliverReceive() {
    receivePosted_ = false;
    // Disarmed meanwhile, or the bytes already taken: nothing to report.
    if (!open_ || !armed_ || buffer_.empty()) {
        return;
    }
    report(SerialEvent::kReceive);
}

// The program hears of it now, or right after the call an adapter's loop runs in.
void SimSerialLink::report(SerialEvent event) {
    ++unheard_;
    loop_.deliver([this, event] {
        --unheard_;
        note(std::string("event ") + serialEventName(event));
        if (listener_) {
            auto listener = listener_;
            listener(event);
        }
    });
}

void SimSerialLink::deliver(std::string_view bytes) {
    if (!phoneConnected() || bytes.empty()) {
        return;
    }
    buffer_.append(bytes);
    if (armed_) {
        postReceive();
    }
}

void SimSerialLink::raise(SerialEvent event) {
    if (!phoneConnected()) {
        return;
    }
    gone_ = gone_ || event == SerialEvent::kHangUp;
    loop_.postForAdapter([this, event, generation = generation_] {
        if (generation != generation_ || !open_) {
            return;  // closed (and maybe opened again) by the program in the meantime
        }
        if (event == SerialEvent::kHangUp) {
            close();
        }
        report(event);
    });
}

}  // namespace zintor
