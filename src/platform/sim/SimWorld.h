#pragma once

#include "core/shared/Ports.h"
#include "platform/sim/FakeIoBoard.h"
#include "platform/sim/FakeLauncher.h"
#include "platform/sim/FakeLogSink.h"
#include "platform/sim/FakeMixer.h"
#include "platform/sim/FakePortRegistry.h"
#include "platform/sim/MemoryFiles.h"
#include "platform/sim/MemorySettingsStore.h"
#include "platform/sim/RecordingDesktop.h"
#include "platform/sim/RecordingKeyboardMouse.h"
#include "platform/sim/RecordingPhoneExtras.h"
#include "platform/sim/ScriptedPlayer.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimPhone.h"
#include "platform/sim/SimSerialLink.h"

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
