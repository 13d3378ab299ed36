#pragma once

#include <cstdint>

#include "core/ports/IoBoard.h"
#include "core/shared/ProgramState.h"

namespace zintor {

// The USB output board. `usbOutputs` holds the wanted state of the eight outputs; the board is
// never read back, so these records are the only account of what the outputs show.

// Bit i is set exactly when output i + 1 is on.
std::uint8_t usbOutputByte(const ProgramState& state);

// Opens the board at card address 0. -1 means failure; 0..3 success; anything else leaves
// `usbOpen` as it was.
void openUsb(ProgramState& state, IoBoard& board);

// Writes all eight wanted states, opening the board first when it is not open. The write is made
// even when the open failed: a board that comes back is brought in line by the next write.
void writeUsb(ProgramState& state, IoBoard& board);

void closeUsb(ProgramState& state, IoBoard& board);

}  // namespace zintor
