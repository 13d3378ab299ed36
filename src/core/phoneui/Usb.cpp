#include "phoneui/Usb.h"

namespace zintor {

std::uint8_t USBOutputByte(const ProgramState& state) {
    std::uint8_t byte = 0;
    for (std::size_t i = 0; i < state.USBOutputs.size(); ++i) {
        if (state.USBOutputs[i].State) {
            byte = static_cast<std::uint8_t>(byte | (1u << i));
        }
    }
    return byte;
}

void OpenUSB(ProgramState& state, IoBoard& board) {
    const int result = board.open(0);
    if (result == -1) {
        state.USBOpen = false;
    } else if (result >= 0 && result <= 3) {
        state.USBOpen = true;
    }
}

void WriteUSB(ProgramState& state, IoBoard& board) {
    if (!state.USBOpen) {
        OpenUSB(state, board);
    }
    board.writeAllDigital(USBOutputByte(state));
}

void CloseUSB(ProgramState& state, IoBoard& board) {
    board.close();
    state.USBOpen = false;
}

}  // namespace zintor
