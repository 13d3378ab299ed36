#pragma once

#include <string>

#include "core/ports/PortRegistry.h"

namespace zintor {

// One entry of the program's port list (the port menu, the automatic connection's round).
struct ComPortInfo {
    std::string device;
    PortKind kind = PortKind::kCable;
    int port = 0;  // the COM number, at most 32767 (the settings file keeps it as 16 bits)
    bool tryAutomatically = true;  // see RegisteredPort
    std::string label{};           // see RegisteredPort
};

}  // namespace zintor
