#pragma once

#include "core/ports/Launcher.h"

namespace zintor {

// Starts a program with CreateProcess, in its own folder, shown normally or minimized without
// taking the focus (SW_SHOWMINNOACTIVE).
class WinLauncher : public Launcher {
  public:
    LaunchResult start(const std::string& path, bool minimizedNoFocus) override;
};

}  // namespace zintor
