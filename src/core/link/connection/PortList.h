#pragma once

#include <string>
#include <vector>

#include "core/ports/Desktop.h"
#include "core/ports/PortRegistry.h"
#include "core/shared/ComPortInfo.h"

namespace zintor {

// Ports above this number are not offered in the port menu (the list is tried beyond it).
inline constexpr int kHighestOfferedPort = 16;

// One registered port as a list entry (numbers beyond 16 bits are taken as the highest one).
ComPortInfo makeComPortInfo(const RegisteredPort& port);

// The registered ports as the program lists them: ascending by number; of ports the system lists
// under the same number, the one listed later comes first.
std::vector<ComPortInfo> sortedPortList(const std::vector<RegisteredPort>& ports);

// "Serial Com3" or "Bluetooth Com4", or with the port's label "Bluetooth Com4 — Nokia 6310i".
std::string portLabel(const ComPortInfo& port);

// The port menu for a sorted list: ports up to 16, the one in use checked.
std::vector<PortMenuItem> portMenuItems(const std::vector<ComPortInfo>& list, int comPort);

}  // namespace zintor
