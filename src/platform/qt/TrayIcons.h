#pragma once

#include <QIcon>

namespace zintor {

constexpr int kTrayFrameStill = 101;
constexpr int kTrayFrameLast = 103;

// The tray icon's picture for frame 101 (still), 102 or 103 (animation). Any other number gives
// the still frame. The pictures are compiled into the program.
QIcon trayFrameIcon(int frame);

}  // namespace zintor
