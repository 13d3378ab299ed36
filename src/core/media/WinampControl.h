#pragma once

#include <cstdint>
#include <string>

#include "phoneui/PhoneMenus.h"
#include "shared/HoldRepeat.h"
#include "shared/Ports.h"
#include "shared/ProgramState.h"
#include "shared/Task.h"

namespace zintor {

struct Link;

// The layer that drives the media player: finds its window, starts it, reads its play state,
// position and track length, and sends its commands. The window handle found last is kept in
// ProgramState::winampWindow; only findWindow changes it.
class WinampControl {
  public:
    WinampControl(ProgramState& state, Ports& ports, Link& link, PhoneMenus& screens);

    bool findWindow();
    // Searches the window first and sends only when it is found.
    void sendCommand(std::int32_t id);
    bool start();
    // "PLAYING", "PAUSED" or "STOPPED"; "" (after a message box on the PC) when no window is kept.
    std::string getStatus();
    // Seconds into the current track; -1 when nothing plays; 0 (after a message box on the PC)
    // when no window is kept.
    std::int32_t getPosition();
    std::int32_t getTrackLength();
    std::int32_t setPlaylistPosition(std::int32_t index);
    // The current entry's index; the player makes its playlist readable as a side effect.
    std::int32_t writePlaylist();
    bool playEntry(std::int32_t index);
    // One key-map command, 0 to 9 (WinampExecute.cpp). The volume commands repeat until the
    // key's release.
    Task<void> execute(int command);

  private:
    void showNotFound();
    Task<void> repeatVolume(std::int32_t id);

    ProgramState& state_;
    Ports& ports_;
    Link& link_;
    PhoneMenus& screens_;
    bool nextShowsRemaining_ = false;  // the time toggle's next command shows the remaining time
    HoldRepeat volumeRepeat_;
};

}  // namespace zintor
