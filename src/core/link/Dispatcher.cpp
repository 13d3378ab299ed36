// The serial events: break, modem lines, ring, hang-up, and received text cut into lines.

#include <algorithm>

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LinkTexts.h"

namespace zintor {

namespace t = link_texts;

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
    ports.serial.setReceiveArmed(false);
    state.AnswerReceived = true;
    state.AnswerOK = false;
    ports.serial.close();
    state.Connected = false;
    ports.desktop.traySetTip(t::kTipIdle);
    ports.desktop.setConnectCaption(t::kCaptionConnect);
}

void Link::Impl::Receive() {
    ProgramState& s = state;
    ports.serial.setReceiveArmed(false);
    link.Wait(0.01f);  // the rest of a burst arrives meanwhile
    TakeReceivedText();

    s.MouseMoving = false;
    for (auto end = s.RxBuffer.find(t::kCrLf); end != std::string::npos;
         end = s.RxBuffer.find(t::kCrLf)) {
        std::string line = s.RxBuffer.substr(0, end);
        std::erase(line, '\r');
        s.RxBuffer.erase(0, end + 2);
        RouteLine(line);
        // Routing may have sent commands whose nested receive events consumed part of the
        // buffer, so the next search starts on the buffer as it is now.
        PumpOnce();
    }
    ports.serial.setReceiveArmed(true);
}

// Appends what arrived to RxBuffer. An unfinished line that grows past any sensible length (a
// phone sending garbage) is replaced by a marker that matches no routing row; the marker stays
// the start of that line until its CR LF comes, so the buffer stays small and the search cheap.
void Link::Impl::TakeReceivedText() {
    std::string& buffer = state.RxBuffer;
    buffer += ports.serial.takeReceived();
    const auto lastEnd = buffer.rfind(t::kCrLf);
    const std::size_t lineStart = lastEnd == std::string::npos ? 0 : lastEnd + 2;
    if (buffer.size() - lineStart > kMaxPendingLine) {
        const bool endsWithCr = buffer.back() == '\r';  // its LF may come with the next event
        buffer.resize(lineStart);
        buffer += kDroppedText;
        if (endsWithCr) {
            buffer += '\r';
        }
    }
}

}  // namespace zintor
