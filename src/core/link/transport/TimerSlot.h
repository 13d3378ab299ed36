#pragma once

namespace zintor {

// The six timer slots. Each part starts, stops and handles only its own; a slot runs one timer at
// a time, and starting it again starts it afresh.
enum class TimerSlot {
    kCommandTimeOut,      // the link: a command's answer did not come in time
    kCursorAcceleration,  // key control, every 300 ms: the held cursor moves one pixel more a step
    kPlaylistRefresh,     // media, every 8 s: the playlist menu is shown again
    kStatusRefresh,       // media, every 4 s: the status dialog is shown again
    kTrayAnimation,       // the link, every 200 ms while connected: the tray icon's next frame
    kSupervision,         // the link, every 5 s: is the phone still there?
};

inline constexpr int kTimerSlotCount = 6;

}  // namespace zintor
