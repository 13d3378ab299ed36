#include "media/WinampControl.h"

#include "link/Link.h"
#include "media/MediaTexts.h"

namespace zintor {

namespace texts = media_texts;

WinampControl::WinampControl(ProgramState& state, Ports& ports, Link& link, Procedures& procedures)
    : state_(state), ports_(ports), link_(link), procedures_(procedures) {}

bool WinampControl::WinAMP_FindWindow() {
    state_.WinampWindow = ports_.player.findWindow(state_.WinampPath());
    return state_.WinampWindow != 0;
}

void WinampControl::WinAMP_SendCommand(std::int32_t id) {
    if (WinAMP_FindWindow()) {
        ports_.player.command(state_.WinampWindow, id);
    }
}

bool WinampControl::WinAMP_Start() {
    return ports_.player.start(state_.WinampPath());
}

std::string WinampControl::WinAMP_GetStatus() {
    if (state_.WinampWindow == 0) {
        ShowNotFound();
        return "";
    }
    switch (ports_.player.query(state_.WinampWindow, 0, winamp::kQueryState)) {
        case winamp::kStatePlaying:
            return texts::kPlaying;
        case winamp::kStatePaused:
            return texts::kPaused;
        default:
            return texts::kStopped;
    }
}

std::int32_t WinampControl::WinAMP_GetPosition() {
    if (state_.WinampWindow == 0) {
        ShowNotFound();
        return 0;
    }
    const int ms =
        ports_.player.query(state_.WinampWindow, winamp::kTimePosition, winamp::kQueryTime);
    return ms == -1 ? -1 : ms / 1000;
}

std::int32_t WinampControl::WinAMP_GetTrackLength() {
    return ports_.player.query(state_.WinampWindow, winamp::kTimeLength, winamp::kQueryTime);
}

std::int32_t WinampControl::WinAMP_SetPlaylistPosition(std::int32_t index) {
    return ports_.player.query(state_.WinampWindow, index, winamp::kQuerySetPosition);
}

std::int32_t WinampControl::WinAMP_WritePlaylist() {
    return ports_.player.query(state_.WinampWindow, winamp::kWritePlaylistData,
                               winamp::kQueryWritePlaylist);
}

bool WinampControl::WinAMP_PlayEntry(std::int32_t index) {
    WinAMP_SetPlaylistPosition(index);
    WinAMP_SendCommand(winamp::kPlay);
    return true;
}

void WinampControl::ShowNotFound() {
    ports_.desktop.messageBox(texts::kNotFoundTitle, texts::kNotFoundText, true);
}

}  // namespace zintor
