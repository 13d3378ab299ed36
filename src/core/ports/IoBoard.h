#pragma once

namespace zintor {

// The K8055 USB experiment board.
class IoBoard {
  public:
    virtual ~IoBoard() = default;
    // The board's driver is usable on this machine.
    virtual bool installed() = 0;
    // -1 on failure, the card address 0..3 on success.
    virtual int open(int address) = 0;
    // Low 8 bits: the eight digital outputs, output 1 in bit 0.
    virtual void writeAllDigital(int data) = 0;
    virtual void close() = 0;
};

}  // namespace zintor
