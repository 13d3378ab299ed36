#pragma once

#include "core/ports/Launcher.h"

namespace zintor {

// Starts programs as detached processes with QProcess: the path is the program itself, never a
// command line for a shell, and no arguments are passed.
//
// A normal start leaves focus to the desktop (a new window normally takes it). A start that asks
// for no focus announces a launch time of 0 in DESKTOP_STARTUP_ID, which X11 toolkits turn into
// _NET_WM_USER_TIME 0: window managers then map the window without giving it the focus. There is
// no portable way to ask an X11 or Wayland program to start minimized, so that part is not done.
class QtLauncher : public Launcher {
  public:
    LaunchResult start(const std::string& path, bool minimizedNoFocus) override;
};

}  // namespace zintor
