#include "media/WinampControl.h"

#include "link/Link.h"
#include "media/MediaTexts.h"

namespace zintor {

namespace texts = media_texts;

WinampControl::WinampControl(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens)
    : state_(state),
      ports_(ports),
      link_(link),
      screens_(screens),
      volumeRepeat_(ports.loop, link.transport.repeatGate(), state.winampRepeatVolume) {}

bool WinampControl::findWindow() {
    state_.winampWindow = ports_.player.findWindow(state_.winampPath());
    return state_.winampWindow != 0;
}

void WinampControl::sendCommand(std::int32_t id) {
    if (findWindow()) {
        ports_.player.command(state_.winampWindow, id);
    }
}

bool WinampControl::start() {
    return ports_.player.start(state_.winampPath());
}

std::string WinampControl::getStatus() {
    if (state_.winampWindow == 0) {
        showNotFound();
        return "";
    }
    switch (ports_.player.query(state_.winampWindow, 0, winamp::kQueryState)) {
        case winamp::kStatePlaying:
            return texts::kPlaying;
        case winamp::kStatePaused:
            return texts::kPaused;
        default:
            return texts::kStopped;
    }
}

std::int32_t WinampControl::getPosition() {
    if (state_.winampWindow == 0) {
        showNotFound();
        return 0;
    }
    const int ms =
        ports_.player.query(state_.winampWindow, winamp::kTimePosition, winamp::kQueryTime);
    return ms == -1 ? -1 : ms / 1000;
}

std::int32_t WinampControl::getTrackLength() {
    return ports_.player.query(state_.winampWindow, winamp::kTimeLength, winamp::kQueryTime);
}

std::int32_t WinampControl::setPlaylistPosition(std::int32_t index) {
    return ports_.player.query(state_.winampWindow, index, winamp::kQuerySetPosition);
}

std::int32_t WinampControl::writePlaylist() {
    return ports_.player.query(state_.winampWindow, winamp::kWritePlaylistData,
                               winamp::kQueryWritePlaylist);
}

bool WinampControl::playEntry(std::int32_t index) {
    setPlaylistPosition(index);
    sendCommand(winamp::kPlay);
    return true;
}

void WinampControl::showNotFound() {
    ports_.desktop.messageBox(texts::kNotFoundTitle, texts::kNotFoundText, true);
}

}  // namespace zintor
