#pragma once

#include <string>

#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

struct Link;

// The settings window: shows the settings modally, and when it is closed (however) takes back
// its position, Auto connect and the application slots, records the main window's position and
// saves the settings store. The mouse speed is not taken back here: the window reports each
// slider move at once (DesktopEvents::mouseSpeedChanged).
void showSettingsWindow(ProgramState& state, Ports& ports, Link& link);

}  // namespace zintor
