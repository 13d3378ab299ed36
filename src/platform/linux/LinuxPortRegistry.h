#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/PortRegistry.h"
#include "core/ports/SettingsStore.h"

namespace zintor {

// Where the registry looks. Tests point these at temporary folders.
struct PortRegistryPaths {
    std::string portsFolder;                       // COM<n> symlinks: $XDG_CONFIG_HOME/Zintor/ports
    std::string devFolder = "/dev";                // ttyS*, ttyUSB*, ttyACM*, rfcomm*
    std::string sysTtyFolder = "/sys/class/tty";   // ttyS<k>/type tells a real UART from a phantom
    std::string byIdFolder = "/dev/serial/by-id";  // stable names of USB serial devices
};

// A device that is no file in /dev, such as a Bluetooth phone reached through BlueZ: numbered
// like the plug-in devices and remembered by `id`; `device` is what devicePath() gives for it.
struct OtherDevice {
    std::string id;
    std::string device;
    std::string label;  // shown in the port menu after the port's label
};

// Gives the serial devices of a Linux machine the COM numbers the program works with:
//  - a symbolic link COM<n> in the ports folder pins the device it points at to number n;
//  - ttyS<k> is COM k+1 (only UARTs that really exist: their sysfs type is not 0);
//  - ttyUSB*, ttyACM*, rfcomm* and the other devices (see setOtherDevices) keep the number they
//    were first given, the lowest one free at the time, remembered in the settings store (value
//    "PortNumbers").
// rfcomm devices and the other devices (see setOtherDevices) are Bluetooth ports.
// The automatic connection tries only ports that can be a phone: pinned ones, Bluetooth, USB
// serial adapters and USB modems (an ACM interface that does not say it speaks no AT commands).
// On-board UARTs and other ACM devices (boards such as Arduinos, which a raised DTR resets) are
// opened only when chosen.
// With a change listener set, the folders behind these rules are watched (PortWatcher).
class PortWatcher;
class LinuxPortRegistry : public PortRegistry {
  public:
    LinuxPortRegistry(SettingsStore& settings, PortRegistryPaths paths);
    ~LinuxPortRegistry() override;

    // The paths of this machine, with the ports folder under the user's configuration folder.
    static PortRegistryPaths systemPaths();

    std::vector<RegisteredPort> listPorts() override;
    void setChangeListener(std::function<void()> changed) override;

    // Where the other devices come from; otherDevicesChanged() says that they changed.
    void setOtherDevices(std::function<std::vector<OtherDevice>()> list) {
        otherDevices_ = std::move(list);
    }
    void otherDevicesChanged();

    // The device behind COM `port`, looked up afresh; nothing when no device has that number.
    std::optional<std::string> devicePath(int port);

    // Who holds a device (PortHolder's answer); without one, no port counts as held.
    using HolderLookup = std::function<std::optional<std::string>(const std::string& device)>;
    void setHolderLookup(HolderLookup lookup) { holderOf_ = std::move(lookup); }
    bool heldElsewhere(int port) override;

    // Name of the settings value that remembers the numbers given to plug-in devices.
    static constexpr const char* kNumbersValue = "PortNumbers";

  private:
    struct Found {
        int port = 0;
        std::string device;  // canonical device path
        bool bluetooth = false;
        bool mayBePhone = true;
        std::string label{};
    };
    std::vector<Found> scan();

    std::map<std::string, int> loadNumbers();
    void saveNumbers(const std::map<std::string, int>& numbers);
    std::string stableId(const std::string& device);

    SettingsStore& settings_;
    PortRegistryPaths paths_;
    std::unique_ptr<PortWatcher> watcher_;
    HolderLookup holderOf_;
    std::function<std::vector<OtherDevice>()> otherDevices_;
    std::function<void()> changed_;
};

}  // namespace zintor
