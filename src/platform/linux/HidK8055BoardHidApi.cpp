#include <hidapi/hidapi.h>

#include "platform/linux/HidK8055Board.h"

namespace zintor {

namespace {

class HidApiLayer : public HidK8055Board::HidLayer {
  public:
    ~HidApiLayer() override {
        close();
        if (initialised_) {
            hid_exit();
        }
    }

    bool init() override {
        if (!initialised_) {
            initialised_ = hid_init() == 0;
        }
        return initialised_;
    }

    bool present(std::uint16_t vendor, std::uint16_t product) override {
        hid_device_info* devices = hid_enumerate(vendor, product);
        const bool found = devices != nullptr;
        hid_free_enumeration(devices);
        return found;
    }

    bool open(std::uint16_t vendor, std::uint16_t product) override {
        close();
        device_ = hid_open(vendor, product, nullptr);
        return device_ != nullptr;
    }

    bool write(const HidK8055Board::Report& report) override {
        if (device_ == nullptr) {
            return false;
        }
        // hidapi wants the report id first; the board has none, which is id 0.
        unsigned char buffer[1 + sizeof(report)] = {0};
        for (std::size_t i = 0; i < report.size(); ++i) {
            buffer[i + 1] = report[i];
        }
        return hid_write(device_, buffer, sizeof(buffer)) >= 0;
    }

    void close() override {
        if (device_ != nullptr) {
            hid_close(device_);
            device_ = nullptr;
        }
    }

  private:
    bool initialised_ = false;
    hid_device* device_ = nullptr;
};

}  // namespace

std::unique_ptr<HidK8055Board::HidLayer> HidK8055Board::makeHidApiLayer() {
    return std::make_unique<HidApiLayer>();
}

HidK8055Board::HidK8055Board() : HidK8055Board(makeHidApiLayer()) {}

}  // namespace zintor
