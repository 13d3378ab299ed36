// The K8055 adapter's reports, checked against a fake HID device layer.
#include "HidK8055Board.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zintor {
namespace {

using Report = HidK8055Board::Report;

// A HID layer with K8055 boards at chosen product ids; records what reaches the open device.
struct FakeHid : HidK8055Board::HidLayer {
    bool driverWorks = true;
    std::set<int> attached;  // product ids
    int openProduct = -1;
    std::vector<std::pair<int, Report>> written;  // product id, report

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

class HidK8055BoardTest : public ::testing::Test {
  protected:
    std::unique_ptr<FakeHid> owned = std::make_unique<FakeHid>();
    FakeHid& hid = *owned;
    HidK8055Board board{std::move(owned)};
};

TEST_F(HidK8055BoardTest, InstalledAndOpenedByCardAddress) {
    EXPECT_FALSE(board.installed());
    hid.attached = {0x5504};  // not a K8055 address
    EXPECT_FALSE(board.installed());
    hid.attached = {0x5502};
    EXPECT_TRUE(board.installed());
    EXPECT_EQ(board.open(0), -1);
    EXPECT_EQ(board.open(4), -1);
    EXPECT_EQ(board.open(2), 2);
    EXPECT_EQ(hid.openProduct, 0x5502);

    hid.driverWorks = false;
    HidK8055Board noDriver(std::make_unique<FakeHid>(hid));
    EXPECT_FALSE(noDriver.installed());
}

TEST_F(HidK8055BoardTest, DigitalOutputsGoOutOnlyToAnOpenBoard) {
    hid.attached = {0x5500};
    board.writeAllDigital(3);  // not opened yet
    ASSERT_EQ(board.open(0), 0);
    board.writeAllDigital(129);
    board.writeAllDigital(0x1FF);  // only the low 8 bits count
    board.close();
    board.writeAllDigital(1);
    EXPECT_EQ(hid.openProduct, -1);
    ASSERT_EQ(hid.written.size(), 2u);
    EXPECT_EQ(hid.written[0].second, (Report{5, 129, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(hid.written[1].second, (Report{5, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidK8055BoardTest, UnpluggedBoardIsFoundAgainAndGetsTheLatestState) {
    hid.attached = {0x5501};
    ASSERT_EQ(board.open(1), 1);
    board.writeAllDigital(1);
    hid.attached.clear();  // unplugged
    board.writeAllDigital(3);
    board.writeAllDigital(7);
    EXPECT_EQ(hid.written.size(), 1u);
    hid.attached = {0x5501};  // plugged in again
    board.writeAllDigital(15);
    ASSERT_EQ(hid.written.size(), 2u);
    EXPECT_EQ(hid.written[1], std::make_pair(0x5501, Report{5, 15, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace zintor
