#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ports/Desktop.h"
#include "ports/PortRegistry.h"
#include "shared/ProgramState.h"

namespace zintor {

// Ports above this number are not offered in the port menu (the list is tried beyond it).
inline constexpr int kHighestOfferedPort = 16;

// The COM number of a port text: the digits after its first three characters ("COM12" gives 12);
// 0 when there are none.
std::int16_t portNumberFromText(std::string_view portText);

// One registered port as a list entry: Kind 1 when the name contains "BtPort".
ComPortInfo makeComPortInfo(const RegisteredPort& port);

// Quicksort of entries lo..hi by Port, ascending, pivot at the middle index. Equal ports end in no
// particular order.
void sortPortList(std::vector<ComPortInfo>& list, int lo, int hi);

// "Serial Com3" or "Bluetooth Com4", or with the port's label "Bluetooth Com4 — Nokia 6310i".
std::string portLabel(const ComPortInfo& port);

// The port menu for a sorted list: ports up to 16, the one in use checked.
std::vector<PortMenuItem> portMenuItems(const std::vector<ComPortInfo>& list, int comPort);

}  // namespace zintor
