#include "platform/linux/HidK8055Board.h"

namespace zintor {

HidK8055Board::HidK8055Board(std::unique_ptr<HidLayer> hid) : hid_(std::move(hid)) {}

HidK8055Board::~HidK8055Board() {
    if (open_) {
        hid_->close();
    }
}

bool HidK8055Board::installed() {
    if (!initialised_) {
        initialised_ = hid_->init();
    }
    if (!initialised_) {
        return false;
    }
    for (int address = 0; address < kAddresses; ++address) {
        if (hid_->present(kVendorId, static_cast<std::uint16_t>(kFirstProductId + address))) {
            return true;
        }
    }
    return false;
}

int HidK8055Board::open(int address) {
    if (address < 0 || address >= kAddresses) {
        return -1;
    }
    if (!initialised_) {
        initialised_ = hid_->init();
    }
    if (open_) {
        hid_->close();
        open_ = false;
    }
    lost_ = false;
    if (!initialised_ ||
        !hid_->open(kVendorId, static_cast<std::uint16_t>(kFirstProductId + address))) {
        address_ = -1;
        return -1;
    }
    open_ = true;
    address_ = address;
    return address;
}

void HidK8055Board::writeAllDigital(int data) {
    digital_ = static_cast<std::uint8_t>(data & 0xFF);
    if (lost_ && address_ >= 0) {
        lost_ = !hid_->open(kVendorId, static_cast<std::uint16_t>(kFirstProductId + address_));
        open_ = !lost_;
    }
    if (!open_) {
        return;
    }
    const Report report{kSetAnalogDigital, digital_, analog1_, analog2_, 0, 0, 0, 0};
    if (!hid_->write(report)) {
        hid_->close();
        open_ = false;
        lost_ = true;
    }
}

void HidK8055Board::close() {
    if (open_) {
        hid_->close();
    }
    open_ = false;
    lost_ = false;
    address_ = -1;
}

}  // namespace zintor
