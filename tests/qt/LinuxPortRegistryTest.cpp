// The COM-number rule on a made-up machine: device nodes, sysfs and by-id links in a temporary
// folder (plain files stand in for the device nodes); which ports the automatic connection may
// try; who holds a port.
#include "platform/linux/LinuxPortRegistry.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <map>

#include "PtyPhone.h"
#include "QtTestSupport.h"
#include "platform/linux/PortHolder.h"
#include "platform/sim/MemorySettingsStore.h"

namespace zintor {
namespace {

namespace fs = std::filesystem;
using phone::PtyPhone;
using test::TempFolder;

class LinuxPortRegistryTest : public ::testing::Test {
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

    // COM number -> device as listed, marked when it is a Bluetooth port and when the automatic
    // connection leaves it alone.
    std::map<std::string, std::string> list() {
        LinuxPortRegistry registry(settings, paths);
        std::map<std::string, std::string> found;
        for (const RegisteredPort& port : registry.listPorts()) {
            const std::string number = "COM" + std::to_string(port.number);
            EXPECT_EQ(found.count(number), 0u) << "two devices on " << number;
            found[number] = port.device +
                            (port.kind == PortKind::kBluetooth ? " (Bluetooth)" : "") +
                            (port.tryAutomatically ? "" : " (chosen only)");
        }
        return found;
    }
    // An ACM device's USB interface protocol: 00 none, 01 AT commands.
    void acmProtocol(const std::string& name, const char* protocol) {
        fs::create_directories(root / ("sys/" + name + "/device"));
        std::ofstream(root / ("sys/" + name + "/device/bInterfaceProtocol")) << protocol << "\n";
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
                          {"COM1", dev("ttyS0") + " (chosen only)"},  // may be anything
                          {"COM2", dev("rfcomm0") + " (Bluetooth)"},
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
    EXPECT_EQ(ports.at("COM3"), dev("rfcomm1") + " (Bluetooth)");
    EXPECT_EQ(ports.at("COM6"), dev("ttyUSB2"));
    device("ttyACM3");  // a good remembered number is kept
    EXPECT_EQ(list().at("COM7"), dev("ttyACM3"));

    // An ACM device that declares no AT commands is a board, not a phone; one that declares
    // them, or a pinned one, may be.
    acmProtocol("ttyACM3", "00");
    acmProtocol("ttyACM0", "00");
    device("ttyACM4");
    acmProtocol("ttyACM4", "01");
    const auto acm = list();
    EXPECT_EQ(acm.at("COM7"), dev("ttyACM3") + " (chosen only)");
    EXPECT_EQ(acm.at("COM5"), dev("ttyACM0"));
    EXPECT_EQ(acm.at("COM8"), dev("ttyACM4"));
}

TEST_F(LinuxPortRegistryTest, ReportsPinnedLinksAndDevicesThatComeAndGo) {
    fs::remove(root / "ports");  // not made yet: watched through the folder above it
    LinuxPortRegistry registry(settings, paths);
    int reports = 0;
    registry.setChangeListener([&] { ++reports; });

    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyACM1", "rfcomm0"}) {
        device(name);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports > 0; }));

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

TEST(PortHolder, NamesAProcessThatHasTheDeviceOpen) {
    // A file stands in for the device node; a pseudo-terminal is a virtual phone's line, which
    // its own program holds.
    TempFolder folder;
    const std::string device = folder / "ttyUSB0";
    std::ofstream(device) << "";
    PtyPhone phone;
    ASSERT_TRUE(phone.ok());
    const PortHolder alone(QDBusConnection(""), "/proc");  // no system bus: processes only
    EXPECT_EQ(alone.holderOf(device), std::nullopt);
    std::vector<std::unique_ptr<QProcess>> holders;
    for (const std::string& held : {device, phone.slavePath()}) {
        holders.push_back(std::make_unique<QProcess>());
        holders.back()->setStandardInputFile(QString::fromStdString(held));
        holders.back()->start("sleep", {"30"});
        ASSERT_TRUE(holders.back()->waitForStarted());
    }
    EXPECT_EQ(alone.holderOf(device),
              "sleep (process " + std::to_string(holders.front()->processId()) + ")");
    EXPECT_EQ(alone.holderOf(phone.slavePath()), std::nullopt);
}

}  // namespace
}  // namespace zintor
