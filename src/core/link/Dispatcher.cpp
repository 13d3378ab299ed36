// The serial events: break, modem lines, ring, hang-up, and received text cut into lines.

#include "link/Charsets.h"
#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace t = link_texts;

namespace {
constexpr std::int64_t kGatherMs = 10;  // the rest of a burst arrives meanwhile
}  // namespace

void Link::onComm(SerialEvent event) {
    ProgramState& s = impl_->state;
    switch (event) {
        case SerialEvent::Break:
            s.mouseMoving = false;
            if (s.connected) {
                writeLog(t::kBreakReceived);
                start(disconnectCom());
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
        case SerialEvent::Made:
            impl_->linkMade.fire();
            break;
    }
}

// The link ends at once; the command on the wire fails, and the supervision rebuilds the link
// later.
void Link::Impl::endLink() {
    const bool wasConnected = state.connected;
    ports.serial.setReceiveArmed(false);
    ports.serial.close();
    state.connected = false;
    ports.desktop.traySetTip(t::kTipIdle);
    ports.desktop.setConnectCaption(t::kCaptionConnect);
    if (wasConnected) {
        linkEnded();
        // A held key may have stopped the supervision; it must run to rebuild the link.
        if (!stopping && !state.supervisionPaused && !link.timerRunning(TimerSlot::Supervision)) {
            link.resetTimer(TimerSlot::Supervision);
        }
    }
    failCommands();
    linkMade.fire();
}

void Link::Impl::linkEnded() {
    // Lines still waiting came on the link that has gone: they must not act on the next one.
    rxBuffer.dropWholeLines();
    state.mouseMoving = false;
    state.specialKeyRepeating = false;
    state.volumeStepping = false;
    state.playerRepeatVolume = false;
    link.disableTimer(TimerSlot::CursorAcceleration);
    // The icon stays on the frame it shows.
    link.disableTimer(TimerSlot::TrayAnimation);
    for (const auto& listener : linkEndedListeners) {
        listener();
    }
}

// The first byte of a burst: the rest of it arrives within the next 10 ms, then the received
// text is cut into lines and every whole line is routed, in order, at once.
void Link::Impl::receive() {
    if (gathering) {
        return;
    }
    // Anything from the phone ends the cursor's repeat, at its first byte.
    state.mouseMoving = false;
    repeatGate.close();
    ports.serial.setReceiveArmed(false);
    gathering = ports.loop.startTimer(kGatherMs, [this] {
        ports.loop.stopTimer(*gathering);
        gathering.reset();
        routeLines();
    });
}

void Link::Impl::routeLines() {
    rxBuffer.append(ports.serial.takeReceived());
    if (!stopped) {
        state.mouseMoving = false;
        while (rxBuffer.hasLine()) {
            // ISO 8859-1 unless the line is valid UTF-8 (a phone that sends its text as such).
            std::string line = rxBuffer.takeLine();
            routeLine(isValidUtf8(line) ? std::move(line) : latin1ToUtf8(line));
        }
        ports.serial.setReceiveArmed(true);
    }
    repeatGate.open();
}

}  // namespace zintor
