// The media player commands of the key map.

#include "link/Link.h"
#include "media/MediaTexts.h"
#include "media/WinampControl.h"

namespace zintor {

namespace texts = media_texts;

namespace {

constexpr float kVolumeStepPause = 0.1f;  // seconds between two volume steps

// Command ids of the key-map command indices 3 to 7 and 9 (0 where the index is no plain command).
constexpr std::int32_t kCommandIds[10] = {
    0,
    0,
    0,
    winamp::kPlay,
    winamp::kPause,
    winamp::kStop,
    winamp::kPrevious,
    winamp::kNext,
    0,
    winamp::kClose,
};

}  // namespace

void WinampControl::execute(int command) {
    if (state_.winampPath().empty()) {
        link_.writeLog(texts::kLogPathNotSet);
        screens_.errorMessage(texts::kPathNotSet, texts::kPathNotSetTimeOut,
                              texts::kPathNotSetMenuItem);
        return;
    }
    switch (command) {
        case 0:
            repeatVolume(winamp::kVolumeUp);
            break;
        case 1:
            repeatVolume(winamp::kVolumeDown);
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
            sendCommand(kCommandIds[command]);
            break;
        case 8:
            sendCommand(nextShowsRemaining_ ? winamp::kShowRemaining : winamp::kShowElapsed);
            nextShowsRemaining_ = !nextShowsRemaining_;
            break;
        default:  // not a command index
            break;
    }
}

// Steps the volume until the key's release, handled in a nested event, clears the flag. A link
// that has gone can deliver no release, so the steps end with it too.
void WinampControl::repeatVolume(std::int32_t id) {
    state_.winampRepeatVolume = true;
    const auto epoch = link_.linkEpoch();
    const ModeIndex mode = keyModeNow(state_);
    while (state_.winampRepeatVolume && link_.holdGoesOn(epoch) && state_.modeFlags[mode]) {
        sendCommand(id);
        link_.wait(kVolumeStepPause);
        link_.pumpWhileWaiting();
    }
    state_.winampRepeatVolume = false;
}

}  // namespace zintor
