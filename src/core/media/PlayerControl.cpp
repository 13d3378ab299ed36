#include "core/media/PlayerControl.h"

#include "core/link/Link.h"
#include "core/media/MediaTexts.h"
#include "core/phoneui/ErrorPopUp.h"

namespace zintor {

namespace texts = media_texts;

namespace {

constexpr std::int64_t kVolumeStepPauseMs = 100;

// The player's commands of the key-map command indices 3 to 7 and 9 (none where the index is no
// plain command).
using Action = void (MediaPlayer::*)();
constexpr Action kActions[10] = {
    nullptr,
    nullptr,
    nullptr,
    &MediaPlayer::play,
    &MediaPlayer::pause,
    &MediaPlayer::stop,
    &MediaPlayer::previous,
    &MediaPlayer::next,
    nullptr,
    &MediaPlayer::close,
};

}  // namespace

PlayerControl::PlayerControl(ProgramState& state, Ports& ports, Link& link, ErrorPopUp& errors)
    : state_(state),
      ports_(ports),
      link_(link),
      errors_(errors),
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

Task<void> PlayerControl::execute(int command) {
    if (state_.playerPath().empty()) {
        link_.log.write(texts::kLogPathNotSet);
        co_await errors_.show(texts::kPathNotSet, texts::kPathNotSetTimeOut);
        co_return;
    }
    switch (command) {
        case 0:
            co_await repeatVolume(&MediaPlayer::volumeUp);
            break;
        case 1:
            co_await repeatVolume(&MediaPlayer::volumeDown);
            break;
        case 2:
            if (!start()) {
                ports_.desktop.messageBox(texts::kStartFailedTitle, texts::kStartFailedText, false);
            }
            break;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 9:
            send(kActions[command]);
            break;
        case 8:
            send(nextShowsRemaining_ ? &MediaPlayer::showRemaining : &MediaPlayer::showElapsed);
            nextShowsRemaining_ = !nextShowsRemaining_;
            break;
        default:  // not a command index
            break;
    }
}

// Steps the volume until the key's release clears the flag (so do leaving the screen and the
// link's end: they can deliver no release).
Task<void> PlayerControl::repeatVolume(void (MediaPlayer::*step)()) {
    co_await volumeRepeat_.run([this, step] { send(step); }, [] { return kVolumeStepPauseMs; });
}

}  // namespace zintor
