#pragma once

#include "core/link/connection/Connection.h"
#include "core/link/connection/PortChoice.h"
#include "core/link/transport/AccessoryUi.h"
#include "core/link/transport/TimerSlots.h"
#include "core/link/transport/Transport.h"
#include "core/log/DiagnosticLog.h"
#include "core/settings/SettingsFile.h"

namespace zintor {

// The phone link's parts, each with its own concern and state; `Program` makes and wires them,
// and the other parts use the ones they need: `link.transport.send(...)`, `link.log.write(...)`.
// The link knows no screen.
struct Link {
    DiagnosticLog& log;
    SettingsFile& settings;
    TimerSlots& timers;
    Transport& transport;
    AccessoryUi& ui;
    Connection& connection;
    PortChoice& portChoice;
};

}  // namespace zintor
