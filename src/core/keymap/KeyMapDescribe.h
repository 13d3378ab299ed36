#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/keymap/KeyMapRecords.h"

namespace zintor {

// Key maps and USB output names in readable form, one line per key map, key, command and
// output; keys without commands and outputs without names are left out. For example:
//
//   Key map 1: "Office"
//     Key 1 (KEY_1): "Save file"
//       1. KEY DOWN CONTROL
//       2. KEY "s"
//   USB output 1: on "Lamp on", off "Lamp off"
std::string describeKeyMaps(const std::vector<KeyMap>& keyMaps,
                            const std::array<USBOutput, 8>& outputs);

// One command, e.g. `WAIT 500 ms` or `SPECIAL KEY "F13" (unknown: no key)`.
std::string describeCommand(const KeyCommand& command);

}  // namespace zintor
