#pragma once

#include "FakeIoBoard.h"
#include "FakeLauncher.h"
#include "FakeLogSink.h"
#include "FakeMixer.h"
#include "FakePortRegistry.h"
#include "MemoryFiles.h"
#include "MemorySettingsStore.h"
#include "RecordingDesktop.h"
#include "RecordingKeyboardMouse.h"
#include "RecordingPhoneExtras.h"
#include "ScriptedPlayer.h"
#include "SimEventLoop.h"
#include "SimPhone.h"
#include "SimSerialLink.h"
#include "shared/Ports.h"

namespace zintor {

// The whole simulated outside world for one test: the virtual-time loop, a phone on the serial
// link, and a recording fake for every other port. The loop is declared first so it outlives
// everything that posts to it.
struct SimWorld {
    SimEventLoop loop;
    SimPhone phone{loop};
    FakePortRegistry registry;
    MemorySettingsStore settings;
    MemoryFiles files;
    FakeLogSink logSink{loop};
    RecordingDesktop desktop{loop};
    FakeLauncher launcher;
    RecordingKeyboardMouse input{loop};
    FakeMixer mixer;
    ScriptedPlayer player;
    FakeIoBoard board;
    RecordingPhoneExtras extras;

    SimSerialLink& serial() { return phone.link(); }

    Ports ports() {
        return Ports{loop,     phone.link(), registry, settings, files, logSink, desktop,
                     launcher, input,        mixer,    player,   board, extras};
    }
};

}  // namespace zintor
