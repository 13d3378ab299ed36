// Bluetooth phones through BlueZ, against a STAND-IN for BlueZ on a private bus: the port list as
// BlueZ's devices come and go, and the link's refusals.
#include <gtest/gtest.h>

#include <set>

#include "BluezStandIn.h"
#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "link/PortList.h"
#include "linux/BluetoothSerialLink.h"
#include "qt/QtSerialLink.h"
#include "sim/MemorySettingsStore.h"

namespace zintor {
namespace {

const QString kSpp = BluezDevices::kSerialPort;

class BluetoothPhones : public ::testing::Test {
  protected:
    ~BluetoothPhones() override { QDBusConnection::disconnectFromBus("c"); }
    void SetUp() override {
        ZINTOR_SKIP_UNLESS(testing::PrivateSessionBus::installed(), "dbus-daemon is not installed");
        ASSERT_TRUE(started);
        settings.set(LinuxPortRegistry::kNumbersValue, "bluetooth 00:11:22:33:44:55=7");
        registry.setOtherDevices([this] { return devices.portDevices(); });
        devices.setChangeListener([this] { ++changes; });
    }
    // The port menu's captions.
    std::set<std::string> menu() {
        std::set<std::string> captions;
        for (const RegisteredPort& port : registry.listPorts()) {
            captions.insert(portLabel(makeComPortInfo(port)));
        }
        return captions;
    }

    testing::PrivateSessionBus bus;
    bool started = bus.start();
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "c");
    std::vector<std::string> said;
    BluezDevices devices{client, [this](const std::string& text) { said.push_back(text); }};
    test::TempFolder nowhere;
    MemorySettingsStore settings;
    LinuxPortRegistry registry{settings,
                               {nowhere / "x", nowhere / "x", nowhere / "x", nowhere / "x"}};
    int changes = 0;
};

TEST_F(BluetoothPhones, ListsPairedSerialPhonesOnceBlueZRunsAndFollowsPairingAndRemoval) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !said.empty(); }));
    EXPECT_EQ(said.front().rfind("Bluetooth: BlueZ does not answer on the system bus (", 0), 0u);
    EXPECT_TRUE(menu().empty());

    test::BluezStandIn bluez(bus.address());  // BlueZ starts
    ASSERT_TRUE(bluez.ok);
    bluez.addDevice("00:11:22:33:44:55", "Nokia 6310i", true, {kSpp.toUpper()}, "phone", false);
    bluez.addDevice("00:11:22:33:44:66", "Headset", true, {"0000110b-0000-1000-8000-00805f9b34fb"},
                    "phone", false);
    bluez.addDevice("00:11:22:33:44:77", "Stranger", false, {kSpp}, "phone", false);
    const QString modem =
        bluez.addDevice("00:11:22:33:44:88", "", true, {BluezDevices::kDialUp}, "phone", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu().size() == 2; }));
    EXPECT_EQ(menu(), (std::set<std::string>{"Bluetooth Com1 \u2014 00:11:22:33:44:88",
                                             "Bluetooth Com7 \u2014 Nokia 6310i"}));

    changes = 0;
    const QString nokia = "/org/bluez/hci0/dev_00_11_22_33_44_55";
    bluez.removeDevice(nokia);
    bluez.addDevice("00:11:22:33:44:99", "K800i", true, {kSpp}, "phone", true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 2; }));
    EXPECT_EQ(menu(), (std::set<std::string>{"Bluetooth Com1 \u2014 00:11:22:33:44:88",
                                             "Bluetooth Com2 \u2014 K800i"}));
    EXPECT_EQ(registry.devicePath(1), "bluez:" + modem.toStdString());
    EXPECT_EQ(said.size(), 1u);
}

TEST_F(BluetoothPhones, ThePhoneOutOfRangeIsSaidOnceAndOneAnotherProgramHoldsIsReported) {
    test::BluezStandIn bluez(bus.address());
    ASSERT_TRUE(bluez.ok);
    const QString away = bluez.addDevice("00:11:22:33:44:55", "Nokia", true, {kSpp}, "away", false);
    const QString busy = bluez.addDevice("00:11:22:33:44:66", "K800i", true, {kSpp}, "busy", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu().size() == 2; }));
    QtSerialLink serial([](int) { return std::nullopt; });
    std::vector<std::string> held;
    BluetoothSerialLink link(serial, client, devices,
                             [&](int port) { return registry.devicePath(port); },
                             {[&](const std::string& text) { said.push_back(text); },
                              [&](int port, const std::string& phone) {
                                  held.push_back(std::to_string(port) + " " + phone);
                              },
                              {}});
    int made = 0;
    link.setListener([&](SerialEvent event) { made += event == SerialEvent::Made ? 1 : 0; });
    EXPECT_FALSE(link.open(3));  // no such serial port
    said.clear();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        ASSERT_TRUE(link.open(7) && link.beingMade());
        ASSERT_TRUE(QTest::qWaitFor([&] { return made == attempt; }));
        EXPECT_FALSE(link.isOpen());
    }
    EXPECT_EQ(
        said,
        (std::vector<std::string>{"COM7 (Nokia, Bluetooth) could not be connected: Host is down"}));

    bluez.setConnected(busy, true);  // another program's link
    ASSERT_TRUE(link.open(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return made == 3; }));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(held, (std::vector<std::string>{"1 K800i"}));
    EXPECT_TRUE(link.heldElsewhere(busy) && !link.heldElsewhere(away));
    bluez.setConnected(busy, false);  // it let go
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.heldElsewhere(busy); }));
}

}  // namespace
}  // namespace zintor
