#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/ports/IoBoard.h"

namespace zintor {

// The Velleman K8055 USB experiment board, spoken to directly as a HID device (no vendor
// library). The board answers at vendor id 0x10CF, product id 0x5500 plus its card address
// (0..3, set by jumpers) and takes 8-byte output reports.
class HidK8055Board : public IoBoard {
  public:
    static constexpr std::uint16_t kVendorId = 0x10CF;
    static constexpr std::uint16_t kFirstProductId = 0x5500;
    static constexpr int kAddresses = 4;
    static constexpr std::uint8_t kSetAnalogDigital = 5;  // report: digital, analog 1, analog 2

    using Report = std::array<std::uint8_t, 8>;

    // The few HID calls the board needs. The real one is hidapi; a test puts a fake here.
    class HidLayer {
      public:
        virtual ~HidLayer() = default;
        // The HID driver can be used at all.
        virtual bool init() = 0;
        // A device with these ids is attached right now.
        virtual bool present(std::uint16_t vendor, std::uint16_t product) = 0;
        // Opens the device (one at a time); false when it is missing or not accessible.
        virtual bool open(std::uint16_t vendor, std::uint16_t product) = 0;
        // Writes one output report (the board uses no report ids). False when the device is
        // gone or refused it.
        virtual bool write(const Report& report) = 0;
        virtual void close() = 0;
    };

    static std::unique_ptr<HidLayer> makeHidApiLayer();

    HidK8055Board();
    explicit HidK8055Board(std::unique_ptr<HidLayer> hid);
    ~HidK8055Board() override;
    HidK8055Board(const HidK8055Board&) = delete;
    HidK8055Board& operator=(const HidK8055Board&) = delete;

    // True when the HID driver works and a K8055 at any address is attached.
    bool installed() override;
    int open(int address) override;
    // Sets the digital outputs, sending the analog outputs' last values with them. A board that
    // was unplugged since it was opened is looked for again at its address first.
    void writeAllDigital(int data) override;
    void close() override;

  private:
    std::unique_ptr<HidLayer> hid_;
    bool initialised_ = false;
    bool open_ = false;
    bool lost_ = false;  // the open board stopped answering
    int address_ = -1;
    std::uint8_t digital_ = 0;
    std::uint8_t analog1_ = 0;
    std::uint8_t analog2_ = 0;
};

}  // namespace zintor
