#include "core/phoneui/Usb.h"

namespace zintor {

std::uint8_t usbOutputByte(const ProgramState& state) {
    std::uint8_t byte = 0;
    for (std::size_t i = 0; i < state.usbOutputs.size(); ++i) {
        if (state.usbOutputs[i].state) {
            byte = static_cast<std::uint8_t>(byte | (1u << i));
        }
    }
    return byte;
}

void openUsb(ProgramState& state, IoBoard& board) {
    const int result = board.open(0);
    if (result == -1) {
        state.usbOpen = false;
    } else if (result >= 0 && result <= 3) {
        state.usbOpen = true;
    }
}

void writeUsb(ProgramState& state, IoBoard& board) {
    if (!state.usbOpen) {
        openUsb(state, board);
    }
    board.writeAllDigital(usbOutputByte(state));
}

void closeUsb(ProgramState& state, IoBoard& board) {
    board.close();
    state.usbOpen = false;
}

}  // namespace zintor
