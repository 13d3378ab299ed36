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
    bool failWrites = false;
    std::vector<std::pair<int, Report>> written;  // product id, report
    int opens = 0;

    bool init() override { return driverWorks; }
    bool present(std::uint16_t vendor, std::uint16_t product) override {
        return vendor == 0x10CF && attached.count(product) > 0;
    }
    bool open(std::uint16_t vendor, std::uint16_t product) override {
        ++opens;
        openProduct = present(vendor, product) ? product : -1;
        return openProduct >= 0;
    }
    bool write(const Report& report) override {
        if (openProduct < 0 || failWrites || attached.count(openProduct) == 0) {
            return false;
        }
        written.emplace_back(openProduct, report);
        return true;
    }
    void close() override { openProduct = -1; }
};

struct Board {
    FakeHid* hid;
    HidK8055Board board;
    Board() : Board(std::make_unique<FakeHid>()) {}
    explicit Board(std::unique_ptr<FakeHid> fake) : hid(fake.get()), board(std::move(fake)) {}
};

TEST(HidK8055Board, InstalledNeedsTheDriverAndAnAttachedBoard) {
    Board b;
    EXPECT_FALSE(b.board.installed());
    b.hid->attached = {0x5503};
    EXPECT_TRUE(b.board.installed());
    b.hid->attached = {0x5504};  // not a K8055 address
    EXPECT_FALSE(b.board.installed());
    Board noDriver;
    noDriver.hid->driverWorks = false;
    noDriver.hid->attached = {0x5500};
    EXPECT_FALSE(noDriver.board.installed());
}

TEST(HidK8055Board, OpenFindsTheBoardByCardAddress) {
    Board b;
    b.hid->attached = {0x5502};
    EXPECT_EQ(b.board.open(0), -1);
    EXPECT_EQ(b.board.open(2), 2);
    EXPECT_EQ(b.hid->openProduct, 0x5502);
    EXPECT_EQ(b.board.open(4), -1);
    EXPECT_EQ(b.board.open(-1), -1);
}

TEST(HidK8055Board, DigitalOutputsGoOutInTheSetAnalogDigitalReport) {
    Board b;
    b.hid->attached = {0x5500};
    ASSERT_EQ(b.board.open(0), 0);
    b.board.writeAllDigital(129);
    b.board.writeAllDigital(0x1FF);  // only the low 8 bits count
    b.board.writeAllDigital(0);
    ASSERT_EQ(b.hid->written.size(), 3u);
    EXPECT_EQ(b.hid->written[0].second, (Report{5, 129, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.hid->written[1].second, (Report{5, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b.hid->written[2].second, (Report{5, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(HidK8055Board, WritingWithoutAnOpenBoardDoesNothing) {
    Board b;
    b.board.writeAllDigital(3);
    b.hid->attached = {0x5500};
    b.board.writeAllDigital(3);
    EXPECT_TRUE(b.hid->written.empty());
    EXPECT_EQ(b.hid->opens, 0);
}

TEST(HidK8055Board, UnpluggedBoardIsFoundAgainAndGetsTheLatestState) {
    Board b;
    b.hid->attached = {0x5501};
    ASSERT_EQ(b.board.open(1), 1);
    b.board.writeAllDigital(1);
    b.hid->attached.clear();  // unplugged
    b.board.writeAllDigital(3);
    b.board.writeAllDigital(7);
    EXPECT_EQ(b.hid->written.size(), 1u);
    b.hid->attached = {0x5501};  // plugged in again
    b.board.writeAllDigital(15);
    ASSERT_EQ(b.hid->written.size(), 2u);
    EXPECT_EQ(b.hid->written[1], std::make_pair(0x5501, Report{5, 15, 0, 0, 0, 0, 0, 0}));
}

TEST(HidK8055Board, CloseEndsTheSession) {
    Board b;
    b.hid->attached = {0x5500};
    ASSERT_EQ(b.board.open(0), 0);
    b.board.close();
    EXPECT_EQ(b.hid->openProduct, -1);
    b.board.writeAllDigital(1);
    EXPECT_TRUE(b.hid->written.empty());
}

}  // namespace
}  // namespace zintor
