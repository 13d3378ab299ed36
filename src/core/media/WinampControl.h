#pragma once

#include <cstdint>
#include <string>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"

namespace zintor {

class Link;

// The layer that drives the media player: finds its window, starts it, reads its play state,
// position and track length, and sends its commands. The window handle found last is kept in
// ProgramState::WinampWindow; only WinAMP_FindWindow changes it.
class WinampControl {
  public:
    WinampControl(ProgramState& state, Ports& ports, Link& link, Procedures& procedures);

    bool WinAMP_FindWindow();
    // Searches the window first and sends only when it is found.
    void WinAMP_SendCommand(std::int32_t id);
    bool WinAMP_Start();
    // "PLAYING", "PAUSED" or "STOPPED"; "" (after a message box on the PC) when no window is kept.
    std::string WinAMP_GetStatus();
    // Seconds into the current track; -1 when nothing plays; 0 (after a message box on the PC)
    // when no window is kept.
    std::int32_t WinAMP_GetPosition();
    std::int32_t WinAMP_GetTrackLength();
    std::int32_t WinAMP_SetPlaylistPosition(std::int32_t index);
    // The current entry's index; the player makes its playlist readable as a side effect.
    std::int32_t WinAMP_WritePlaylist();
    bool WinAMP_PlayEntry(std::int32_t index);
    // One key-map command, 0 to 9 (WinampExecute.cpp).
    void WinAMP_Execute(int command);

  private:
    void ShowNotFound();
    void RepeatVolume(std::int32_t id);

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    Procedures& procedures_;
};

}  // namespace zintor
