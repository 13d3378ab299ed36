// The serial events: break, modem lines, ring, hang-up, and received text cut into lines.

#include "link/Charsets.h"
#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr int kFirstIconFrame = 101;
constexpr std::int64_t kGatherMs = 10;  // the rest of a burst arrives meanwhile
}  // namespace

void Link::onComm(SerialEvent event) {
    ProgramState& s = impl_->state;
    switch (event) {
        case SerialEvent::Break:
            s.mouseMoving = false;
            if (s.connected) {
                writeLog(t::kBreakReceived);
                disconnectCom();
            }
            break;
        case SerialEvent::Cts:
            writeLog(t::kCtsChanged);
            break;
        case SerialEvent::Dsr:
            writeLog(t::kDsrChanged);
            break;
        case SerialEvent::Ring:
        case SerialEvent::HangUp:
            impl_->endLink();
            break;
        case SerialEvent::Receive:
            impl_->receive();
            break;
    }
}

// The link ends at once; a waiting Send fails, and the supervision rebuilds the link later.
void Link::Impl::endLink() {
    const bool wasConnected = state.connected;
    ports.serial.setReceiveArmed(false);
    answerReceived = true;
    answerOk = false;
    ports.serial.close();
    state.connected = false;
    ports.desktop.traySetTip(t::kTipIdle);
    ports.desktop.setConnectCaption(t::kCaptionConnect);
    if (!wasConnected) {
        return;
    }
    linkEnded();
    // A held key's loop may have stopped the supervision; it must run to rebuild the link.
    if (!stopping && !state.supervisionPaused && !link.timerRunning(TimerSlot::Supervision)) {
        link.resetTimer(TimerSlot::Supervision);
    }
}

void Link::Impl::linkEnded() {
    ++epoch;
    // Lines still waiting came on the link that has gone: they must not act on the next one.
    rxBuffer.dropWholeLines();
    state.mouseMoving = false;
    state.specialKeyRepeating = false;
    state.volumeStepping = false;
    state.winampRepeatVolume = false;
    link.disableTimer(TimerSlot::CursorAcceleration);
    if (link.timerRunning(TimerSlot::TrayAnimation) || state.iconFrame != kFirstIconFrame) {
        link.disableTimer(TimerSlot::TrayAnimation);
        state.iconFrame = kFirstIconFrame;
        ports.desktop.trayShowFrame(kFirstIconFrame);
    }
    for (const auto& listener : linkEndedListeners) {
        listener();
    }
}

void Link::Impl::postReceiveForPendingLines() {
    if (receivePosted || !rxBuffer.hasLine()) {
        return;
    }
    receivePosted = true;
    ports.loop.post([this] {
        receivePosted = false;
        if (rxBuffer.hasLine()) {
            receive();
        }
    });
}

namespace {

// Lines whose handling can start nothing that waits: the answer that ends a command, and the
// empty line before it.
bool endsNothing(const std::string& line) {
    return line.empty() || line == "OK";
}

}  // namespace

bool Link::Impl::receiveStalled() {
    return receiveFrames.size() >= kMaxReceiveNesting && rxBuffer.hasLine();
}

void Link::Impl::receive() {
    ProgramState& s = state;
    // Nested in a handler that waits for nothing (it types, or is between two lines), the lines
    // are left to the receive loop further out, which goes on with them when that handler
    // returns: the stack grows with what is waiting, never with how many lines arrived.
    if (stopped || (!receiveFrames.empty() && waits <= receiveFrames.back())) {
        rxBuffer.append(ports.serial.takeReceived());
        return;
    }
    // As deep as lines may nest, a command still gets its answer; other lines wait for the
    // handlers further out to return (a held key's loop ends for them, a command times out).
    if (receiveFrames.size() >= kMaxReceiveNesting) {
        rxBuffer.append(ports.serial.takeReceived());
        while (rxBuffer.hasLine() && endsNothing(rxBuffer.peekLine())) {
            routeLine(rxBuffer.takeLine());
        }
        return;
    }
    receiveFrames.push_back(waits);
    ports.serial.setReceiveArmed(false);
    ports.loop.waitUntil(ports.loop.now() + kGatherMs);
    rxBuffer.append(ports.serial.takeReceived());

    s.mouseMoving = false;
    while (rxBuffer.hasLine()) {
        routeLine(latin1ToUtf8(rxBuffer.takeLine()));
        // Routing may have sent commands whose nested receive events consumed part of the
        // buffer, so the next line is looked for in the buffer as it is now.
        pumpOnce();
    }
    receiveFrames.pop_back();
    ports.serial.setReceiveArmed(true);
}

}  // namespace zintor
