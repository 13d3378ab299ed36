#pragma once

#include "core/ports/Desktop.h"
#include "core/ports/EventLoop.h"
#include "core/ports/Files.h"
#include "core/ports/IoBoard.h"
#include "core/ports/KeyboardMouse.h"
#include "core/ports/Launcher.h"
#include "core/ports/LogSink.h"
#include "core/ports/MediaPlayer.h"
#include "core/ports/Mixer.h"
#include "core/ports/PhoneExtras.h"
#include "core/ports/PortRegistry.h"
#include "core/ports/SerialLink.h"
#include "core/ports/SettingsStore.h"

namespace zintor {

// The outside world as the core sees it. Adapters (or the simulation) own the objects.
struct Ports {
    EventLoop& loop;
    SerialLink& serial;
    PortRegistry& registry;
    SettingsStore& settings;
    Files& files;
    LogSink& logSink;
    Desktop& desktop;
    Launcher& launcher;
    KeyboardMouse& input;
    Mixer& mixer;
    MediaPlayer& player;
    IoBoard& board;
    PhoneExtras& extras;
};

}  // namespace zintor
