#pragma once

#include "core/shared/ProgramState.h"

namespace zintor {

// Fills keyNames: the display name of each phone key number 0..23 (18 to 21, the direction
// keys, have none).
void fillKeyNames(ProgramState& state);

}  // namespace zintor
