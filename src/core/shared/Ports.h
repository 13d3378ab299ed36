#pragma once

#include "ports/Desktop.h"
#include "ports/EventLoop.h"
#include "ports/Files.h"
#include "ports/IoBoard.h"
#include "ports/KeyboardMouse.h"
#include "ports/Launcher.h"
#include "ports/LogSink.h"
#include "ports/MediaPlayer.h"
#include "ports/Mixer.h"
#include "ports/PhoneExtras.h"
#include "ports/PortRegistry.h"
#include "ports/SerialLink.h"
#include "ports/SettingsStore.h"

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
