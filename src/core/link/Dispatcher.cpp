// The serial events: break, modem lines, ring, hang-up, and received text cut into lines.

#include "link/Charsets.h"
#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr int kFirstIconFrame = 101;
constexpr int kAccelerationSlot = 1;
constexpr int kAnimationSlot = 4;
constexpr int kSupervisionSlot = 5;
constexpr std::int64_t kGatherMs = 10;  // the rest of a burst arrives meanwhile
}  // namespace

void Link::OnComm(SerialEvent event) {
    ProgramState& s = impl_->state;
    switch (event) {
        case SerialEvent::Break:
            s.MouseMoving = false;
            if (s.Connected) {
                WriteLog(t::kBreakReceived);
                DisconnectCOM();
            }
            break;
        case SerialEvent::Cts:
            WriteLog(t::kCtsChanged);
            break;
        case SerialEvent::Dsr:
            WriteLog(t::kDsrChanged);
            break;
        case SerialEvent::Ring:
        case SerialEvent::HangUp:
            impl_->EndLink();
            break;
        case SerialEvent::Receive:
            impl_->Receive();
            break;
    }
}

// The link ends at once; a waiting Send fails, and the supervision rebuilds the link later.
void Link::Impl::EndLink() {
    const bool wasConnected = state.Connected;
    ports.serial.setReceiveArmed(false);
    state.AnswerReceived = true;
    state.AnswerOK = false;
    ports.serial.close();
    state.Connected = false;
    ports.desktop.traySetTip(t::kTipIdle);
    ports.desktop.setConnectCaption(t::kCaptionConnect);
    if (!wasConnected) {
        return;
    }
    LinkEnded();
    // A held key's loop may have stopped the supervision; it must run to rebuild the link.
    if (!stopping && !state.SupervisionPaused && !link.TimerRunning(kSupervisionSlot)) {
        link.ResetTimer(kSupervisionSlot, 0);
    }
}

void Link::Impl::LinkEnded() {
    ++epoch;
    // Lines still waiting came on the link that has gone: they must not act on the next one.
    state.RxBuffer.dropWholeLines();
    state.MouseMoving = false;
    state.SpecialKeyRepeating = false;
    state.VolumeStepping = false;
    state.WinampRepeatVolume = false;
    link.DisableTimer(kAccelerationSlot);
    if (link.TimerRunning(kAnimationSlot) || state.IconFrame != kFirstIconFrame) {
        link.DisableTimer(kAnimationSlot);
        state.IconFrame = kFirstIconFrame;
        ports.desktop.trayShowFrame(kFirstIconFrame);
    }
    for (const auto& listener : linkEndedListeners) {
        listener();
    }
}

void Link::Impl::PostReceiveForPendingLines() {
    if (receivePosted || !state.RxBuffer.hasLine()) {
        return;
    }
    receivePosted = true;
    ports.loop.post([this] {
        receivePosted = false;
        if (state.RxBuffer.hasLine()) {
            Receive();
        }
    });
}

namespace {

// Lines whose handling can start nothing that waits: the answer that ends a command, and the
// empty line before it.
bool EndsNothing(const std::string& line) {
    return line.empty() || line == "OK";
}

}  // namespace

bool Link::Impl::ReceiveStalled() {
    return receiveFrames.size() >= kMaxReceiveNesting && state.RxBuffer.hasLine();
}

void Link::Impl::Receive() {
    ProgramState& s = state;
    // Nested in a handler that waits for nothing (it types, or is between two lines), the lines
    // are left to the receive loop further out, which goes on with them when that handler
    // returns: the stack grows with what is waiting, never with how many lines arrived.
    if (stopped || (!receiveFrames.empty() && waits <= receiveFrames.back())) {
        s.RxBuffer.append(ports.serial.takeReceived());
        return;
    }
    // As deep as lines may nest, a command still gets its answer; other lines wait for the
    // handlers further out to return (a held key's loop ends for them, a command times out).
    if (receiveFrames.size() >= kMaxReceiveNesting) {
        s.RxBuffer.append(ports.serial.takeReceived());
        while (s.RxBuffer.hasLine() && EndsNothing(s.RxBuffer.peekLine())) {
            RouteLine(s.RxBuffer.takeLine());
        }
        return;
    }
    receiveFrames.push_back(waits);
    ports.serial.setReceiveArmed(false);
    ports.loop.waitUntil(ports.loop.now() + kGatherMs);
    s.RxBuffer.append(ports.serial.takeReceived());

    s.MouseMoving = false;
    while (s.RxBuffer.hasLine()) {
        RouteLine(Latin1ToUtf8(s.RxBuffer.takeLine()));
        // Routing may have sent commands whose nested receive events consumed part of the
        // buffer, so the next line is looked for in the buffer as it is now.
        PumpOnce();
    }
    receiveFrames.pop_back();
    ports.serial.setReceiveArmed(true);
}

}  // namespace zintor
