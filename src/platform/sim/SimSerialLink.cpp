#include "SimSerialLink.h"

#include "SimPhone.h"

namespace zintor {

const char* serialEventName(SerialEvent event) {
    switch (event) {
        case SerialEvent::Receive:
            return "Receive";
        case SerialEvent::Break:
            return "Break";
        case SerialEvent::Cts:
            return "Cts";
        case SerialEvent::Dsr:
            return "Dsr";
        case SerialEvent::Ring:
            return "Ring";
        case SerialEvent::HangUp:
            return "HangUp";
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
    ++openCount_;
    note("open " + std::to_string(port));
    return true;
}

void SimSerialLink::close() {
    if (!open_) {
        return;
    }
    open_ = false;
    buffer_.clear();
    note("close");
}

bool SimSerialLink::phoneConnected() const {
    return open_ && phone_ != nullptr && (phonePort_ == 0 || phonePort_ == port_);
}

void SimSerialLink::write(std::string_view bytes) {
    if (!open_) {
        note("write while closed");
        return;
    }
    writes_.push_back(Write{loop_.now(), std::string(bytes)});
    if (phoneConnected()) {
        phone_->receiveFromLink(bytes);
    }
}

std::string SimSerialLink::takeReceived() {
    std::string out;
    out.swap(buffer_);
    return out;
}

void SimSerialLink::setReceiveArmed(bool armed) {
    if (armed != armed_) {
        note(armed ? "arm" : "disarm");
    }
    armed_ = armed;
    if (armed_ && !buffer_.empty()) {
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
    loop_.post([this] {
        receivePosted_ = false;
        // Checked when it runs, like a queued call: the burst may have been taken meanwhile.
        if (!open_ || !armed_ || buffer_.empty()) {
            return;
        }
        note("event Receive");
        if (listener_) {
            auto listener = listener_;
            listener(SerialEvent::Receive);
        }
    });
}

void SimSerialLink::deliver(std::string_view bytes) {
    if (!phoneConnected() || bytes.empty()) {
        return;
    }
    if (tap_) {
        tap_(bytes);
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
    if (event == SerialEvent::HangUp) {
        close();
    }
    loop_.post([this, event] {
        note(std::string("event ") + serialEventName(event));
        if (listener_) {
            auto listener = listener_;
            listener(event);
        }
    });
}

}  // namespace zintor
