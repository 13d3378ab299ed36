// The COM-number rule on a made-up machine: device nodes, sysfs and by-id links in a temporary
// folder (plain files stand in for the device nodes).
#include "linux/LinuxPortRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "QtTestSupport.h"
#include "sim/MemorySettingsStore.h"

namespace zintor {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

class LinuxPortRegistryTest : public testing::Test {
  protected:
    LinuxPortRegistryTest() {
        for (const char* folder : {"dev", "sys", "ports", "by-id"}) {
            fs::create_directories(root / folder);
        }
    }

    void device(const std::string& name) { std::ofstream(root / ("dev/" + name)) << ""; }
    void uart(const std::string& name, int type) {
        device(name);
        fs::create_directories(root / ("sys/" + name));
        std::ofstream(root / ("sys/" + name + "/type")) << type << "\n";
    }
    void link(const std::string& at, const std::string& target) {
        fs::create_symlink(target, root / at);
    }
    std::string dev(const std::string& name) { return root / ("dev/" + name); }

    // COM text -> device name as listed.
    std::map<std::string, std::string> list() {
        LinuxPortRegistry registry(settings, paths);
        std::map<std::string, std::string> found;
        for (const RegisteredPort& port : registry.listPorts()) {
            EXPECT_EQ(found.count(port.portText), 0u) << "two devices on " << port.portText;
            found[port.portText] = port.name;
        }
        return found;
    }

    TempFolder root;
    PortRegistryPaths paths{root / "ports", root / "dev", root / "sys", root / "by-id"};
    MemorySettingsStore settings;
};

TEST_F(LinuxPortRegistryTest, NumbersUartsPinsAndPlugInDevicesWhichKeepTheirNumbers) {
    PortRegistryPaths nowhere{root / "none", root / "none", root / "none", root / "none"};
    LinuxPortRegistry empty(settings, nowhere);
    EXPECT_TRUE(empty.listPorts().empty());
    EXPECT_EQ(empty.devicePath(1), std::nullopt);

    settings.set(LinuxPortRegistry::kNumbersValue, "ttyACM1=x;=4;ttyACM2=0;junk;ttyACM3=7");
    uart("ttyS0", 4);  // a 16550A
    uart("ttyS1", 0);  // reserved by the driver, no chip: not a port
    // Not ports: ttyS2 (no sysfs entry at all), tty0 (no serial port), ttyUSBx (no number).
    for (const char* name : {"ttyS2", "ttyUSB0", "ttyACM0", "rfcomm0", "tty0", "ttyUSBx"}) {
        device(name);
    }
    link("by-id/usb-FTDI_FT232R_A50285BI-if00-port0", dev("ttyUSB0"));
    link("ports/COM5", dev("ttyACM0"));   // pinned by the user
    link("ports/COM9", dev("gone"));      // points at nothing: not listed
    link("ports/notes", dev("ttyUSB0"));  // not a COM name: ignored
    EXPECT_EQ(list(), (std::map<std::string, std::string>{
                          {"COM1", dev("ttyS0")},
                          {"COM2", dev("rfcomm0") + " (BtPort)"},
                          {"COM3", dev("ttyUSB0")},
                          {"COM5", dev("ttyACM0")},
                      }));
    // The pinned device is not numbered a second time; the plug-in ones are remembered, the
    // remembered numbers that are no numbers, or 0, are dropped.
    EXPECT_EQ(settings.value(LinuxPortRegistry::kNumbersValue),
              "rfcomm0=2;ttyACM3=7;usb-FTDI_FT232R_A50285BI-if00-port0=3");
    EXPECT_EQ(LinuxPortRegistry(settings, paths).devicePath(5), dev("ttyACM0"));

    // Unplugged: its number stays reserved; a new device takes the lowest free one.
    fs::remove(root / "by-id/usb-FTDI_FT232R_A50285BI-if00-port0");
    fs::remove(root / "dev/ttyUSB0");
    device("ttyUSB1");
    EXPECT_EQ(list().at("COM4"), dev("ttyUSB1"));
    // Plugged in again under another node name: the by-id name finds its number.
    device("ttyUSB2");
    link("by-id/usb-FTDI_FT232R_A50285BI-if00-port0", dev("ttyUSB2"));
    EXPECT_EQ(list().at("COM3"), dev("ttyUSB2"));
    // A pin on a remembered number wins; the device moves to the lowest free number.
    device("rfcomm1");
    link("ports/COM3", dev("rfcomm1"));
    const auto ports = list();
    EXPECT_EQ(ports.at("COM3"), dev("rfcomm1") + " (BtPort)");
    EXPECT_EQ(ports.at("COM6"), dev("ttyUSB2"));
    device("ttyACM3");  // a good remembered number is kept
    EXPECT_EQ(list().at("COM7"), dev("ttyACM3"));
}

TEST_F(LinuxPortRegistryTest, ReportsPinnedLinksAndDevicesThatComeAndGo) {
    fs::remove(root / "ports");  // not made yet: watched through the folder above it
    LinuxPortRegistry registry(settings, paths);
    int reports = 0;
    registry.setChangeListener([&] { ++reports; });

    // A burst, as udev makes for one device: gathered, not one report per change.
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyACM1", "rfcomm0"}) {
        device(name);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports > 0; }));
    QTest::qWait(1000);
    EXPECT_LT(reports, 3);

    fs::create_directories(root / "ports");
    for (const bool pinned : {true, false}) {
        pinned ? link("ports/COM7", dev("ttyACM1")) : void(fs::remove(root / "ports/COM7"));
        const int before = reports;
        ASSERT_TRUE(QTest::qWaitFor([&] { return reports > before; }));
        EXPECT_EQ(list().count("COM7"), pinned ? 1u : 0u);
    }

    registry.setChangeListener({});  // no more reports
    const int before = reports;
    fs::remove(root / "dev/ttyUSB0");
    QTest::qWait(1000);
    EXPECT_EQ(reports, before);
}

}  // namespace
}  // namespace zintor
