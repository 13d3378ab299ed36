// The media player commands of the key map.

#include "link/Link.h"
#include "media/MediaTexts.h"
#include "media/WinampControl.h"

namespace zintor {

namespace texts = media_texts;

namespace {

constexpr std::int64_t kVolumeStepPauseMs = 100;

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

Task<void> WinampControl::execute(int command) {
    if (state_.winampPath().empty()) {
        link_.log.write(texts::kLogPathNotSet);
        co_await screens_.errorMessage(texts::kPathNotSet, texts::kPathNotSetTimeOut,
                                       texts::kPathNotSetMenuItem);
        co_return;
    }
    switch (command) {
        case 0:
            co_await repeatVolume(winamp::kVolumeUp);
            break;
        case 1:
            co_await repeatVolume(winamp::kVolumeDown);
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

// Steps the volume until the key's release clears the flag (so do leaving the screen and the
// link's end: they can deliver no release).
Task<void> WinampControl::repeatVolume(std::int32_t id) {
    co_await volumeRepeat_.run([this, id] { sendCommand(id); }, [] { return kVolumeStepPauseMs; });
}

}  // namespace zintor
