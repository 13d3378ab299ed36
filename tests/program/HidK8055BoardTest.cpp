// The K8055 adapter's reports, checked against a stand-in for the HID device layer.
#include "platform/linux/HidK8055Board.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zintor {
namespace {

using Report = HidK8055Board::Report;
using Written = std::vector<std::pair<int, Report>>;  // product id, report

// K8055 boards at chosen product ids; records what reaches the open device.
struct FakeHid : HidK8055Board::HidLayer {
    bool driverWorks = true;
    std::set<int> attached;  // product ids
    int openProduct = -1;
    Written written;

    bool init() override { return driverWorks; }
    bool present(std::uint16_t vendor, std::uint16_t product) override {
        return vendor == 0x10CF && attached.count(product) > 0;
    }
    bool open(std::uint16_t vendor, std::uint16_t product) override {
        openProduct = present(vendor, product) ? product : -1;
        return openProduct >= 0;
    }
    bool write(const Report& report) override {
        if (openProduct < 0 || attached.count(openProduct) == 0) {
            return false;
        }
        written.emplace_back(openProduct, report);
        return true;
    }
    void close() override { openProduct = -1; }
};

TEST(HidK8055Board, OpenedByCardAddressItGetsTheOutputsUntilClosedAndAgainWhenPluggedInAgain) {
    auto owned = std::make_unique<FakeHid>();
    FakeHid& hid = *owned;
    HidK8055Board board(std::move(owned));
    hid.attached = {0x5504};  // not a K8055 address
    EXPECT_FALSE(board.installed());
    hid.attached = {0x5501};
    EXPECT_TRUE(board.installed());
    board.writeAllDigital(3);  // not opened yet
    EXPECT_EQ(board.open(0), -1);
    EXPECT_EQ(board.open(4), -1);
    ASSERT_EQ(board.open(1), 1);
    board.writeAllDigital(129);
    board.writeAllDigital(0x1FF);  // only the low 8 bits count
    hid.attached.clear();          // unplugged
    board.writeAllDigital(7);
    hid.attached = {0x5501};  // plugged in again: the latest state goes out
    board.writeAllDigital(15);
    board.close();
    board.writeAllDigital(1);
    EXPECT_EQ(hid.openProduct, -1);
    EXPECT_EQ(hid.written, (Written{{0x5501, Report{5, 129, 0, 0, 0, 0, 0, 0}},
                                    {0x5501, Report{5, 0xFF, 0, 0, 0, 0, 0, 0}},
                                    {0x5501, Report{5, 15, 0, 0, 0, 0, 0, 0}}}));

    hid.driverWorks = false;
    EXPECT_FALSE(HidK8055Board(std::make_unique<FakeHid>(hid)).installed());
}

}  // namespace
}  // namespace zintor
