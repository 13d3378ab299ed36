#pragma once

#include <QDBusConnection>

#include <functional>
#include <memory>
#include <string>

#include "core/ports/KeyboardMouse.h"
#include "core/ports/LogSink.h"
#include "core/ports/SettingsStore.h"

namespace zintor {

// The keyboard and mouse adapter for this session, and a line that says which it is.
struct LinuxInput {
    std::unique_ptr<KeyboardMouse> adapter;
    std::string description;  // "" without any display
};

// Chosen by what the session offers: a Wayland compositor with wlroots' virtual keyboard and
// pointer; else, on Wayland, the desktop's RemoteDesktop portal on `bus` (its restore token kept
// in `settings`); else XTest on the X display (X11, XWayland).
LinuxInput chooseLinuxInput(QDBusConnection bus, SettingsStore& settings, Diagnostic diagnostic);

}  // namespace zintor
