#include "core/media/PlayerControl.h"

#include "core/link/Link.h"
#include "core/media/MediaTexts.h"

namespace zintor {

namespace texts = media_texts;

PlayerControl::PlayerControl(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens)
    : state_(state),
      ports_(ports),
      link_(link),
      screens_(screens),
      volumeRepeat_(ports.loop, link.transport.repeatGate(), state.playerRepeatVolume) {}

bool PlayerControl::find() {
    state_.playerFound = ports_.player.find(state_.playerPath());
    return state_.playerFound;
}

void PlayerControl::send(void (MediaPlayer::*action)()) {
    if (find()) {
        (ports_.player.*action)();
    }
}

bool PlayerControl::start() {
    return ports_.player.start(state_.playerPath());
}

std::string PlayerControl::getStatus() {
    if (!state_.playerFound) {
        showNotFound();
        return "";
    }
    switch (ports_.player.state()) {
        case PlayState::kPlaying:
            return texts::kPlaying;
        case PlayState::kPaused:
            return texts::kPaused;
        case PlayState::kStopped:
            break;
    }
    return texts::kStopped;
}

std::int32_t PlayerControl::getPosition() {
    if (!state_.playerFound) {
        showNotFound();
        return 0;
    }
    return ports_.player.position();
}

std::int32_t PlayerControl::getTrackLength() {
    return ports_.player.length();
}

void PlayerControl::playEntry(std::int32_t index) {
    ports_.player.jump(index);
    send(&MediaPlayer::play);
}

void PlayerControl::showNotFound() {
    ports_.desktop.messageBox(texts::kNotFoundTitle, texts::kNotFoundText, true);
}

}  // namespace zintor
