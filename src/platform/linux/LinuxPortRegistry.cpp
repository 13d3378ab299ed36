#include "platform/linux/LinuxPortRegistry.h"

#include "platform/linux/PortWatcher.h"

#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace zintor {
namespace {

// "COM12" -> 12; anything else -> 0.
int pinNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name.size() > 8) {
        return 0;
    }
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return 0;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "ttyS3" with prefix "ttyS" -> 3; -1 when the rest is not a number.
int deviceIndex(const std::string& name, const std::string& prefix) {
    if (!startsWith(name, prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 4) {
        return -1;
    }
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return -1;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

std::string canonicalPath(const fs::path& path) {
    std::error_code ec;
    fs::path resolved = fs::canonical(path, ec);
    return ec ? std::string() : resolved.string();
}

std::vector<std::string> sortedNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A ttyS device is a real UART when the kernel knows its type (0 means "unknown": the driver
// reserved the line, but there is no chip behind it).
bool realUart(const std::string& sysTtyFolder, const std::string& name) {
    std::ifstream in(sysTtyFolder + "/" + name + "/type");
    int type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

// An ACM device whose USB interface declares protocol 0 ("no class-specific protocol") says it
// is no modem: development boards do, phones and modems declare AT commands (1 to 6) or their own
// protocol (255).
bool acmWithoutAtCommands(const std::string& sysTtyFolder, const std::string& name) {
    std::ifstream in(sysTtyFolder + "/" + name + "/device/bInterfaceProtocol");
    std::string protocol;
    return static_cast<bool>(in >> protocol) && protocol == "00";
}

// Stored ids are used as parts of one settings value: keep them free of its separators.
std::string cleanId(std::string id) {
    for (char& c : id) {
        if (c == ';' || c == '=' || static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    return id;
}

}  // namespace

LinuxPortRegistry::LinuxPortRegistry(SettingsStore& settings, PortRegistryPaths paths)
    : settings_(settings), paths_(std::move(paths)) {}

LinuxPortRegistry::~LinuxPortRegistry() = default;

void LinuxPortRegistry::setChangeListener(std::function<void()> changed) {
    if (!watcher_) {
        watcher_ = std::make_unique<PortWatcher>(paths_);
    }
    changed_ = changed;
    watcher_->setListener(std::move(changed));
}

void LinuxPortRegistry::otherDevicesChanged() {
    if (changed_) {
        changed_();
    }
}

PortRegistryPaths LinuxPortRegistry::systemPaths() {
    PortRegistryPaths paths;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    paths.portsFolder = config.toStdString() + "/Zintor/ports";
    return paths;
}

std::map<std::string, int> LinuxPortRegistry::loadNumbers() {
    // "id=n;id=n;..."
    std::map<std::string, int> numbers;
    const std::string text = settings_.read(kNumbersValue, "");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string item = text.substr(start, end - start);
        const std::size_t eq = item.rfind('=');
        if (eq != std::string::npos && eq > 0) {
            const std::string digits = item.substr(eq + 1);
            const int n = pinNumber("COM" + digits);
            if (n > 0) {
                numbers[item.substr(0, eq)] = n;
            }
        }
        start = end + 1;
    }
    return numbers;
}

void LinuxPortRegistry::saveNumbers(const std::map<std::string, int>& numbers) {
    std::string text;
    for (const auto& [id, n] : numbers) {
        if (!text.empty()) {
            text += ';';
        }
        text += id + "=" + std::to_string(n);
    }
    settings_.write(kNumbersValue, text);
    settings_.flush();
}

std::string LinuxPortRegistry::stableId(const std::string& device) {
    // A USB adapter's /dev/serial/by-id name stays the same whatever ttyUSB number it gets.
    for (const std::string& name : sortedNames(paths_.byIdFolder)) {
        if (canonicalPath(fs::path(paths_.byIdFolder) / name) == device) {
            return cleanId(name);
        }
    }
    return cleanId(fs::path(device).filename().string());
}

std::vector<LinuxPortRegistry::Found> LinuxPortRegistry::scan() {
    std::vector<Found> found;
    std::set<int> taken;
    std::set<std::string> pinnedDevices;

    // 1. Pins chosen by the user.
    for (const std::string& name : sortedNames(paths_.portsFolder)) {
        const int n = pinNumber(name);
        if (n <= 0 || taken.count(n) != 0) {
            continue;
        }
        const std::string device = canonicalPath(fs::path(paths_.portsFolder) / name);
        if (device.empty() || pinnedDevices.count(device) != 0) {
            continue;  // points at nothing (device unplugged), or pinned twice
        }
        const bool bluetooth = startsWith(fs::path(device).filename().string(), "rfcomm");
        found.push_back({n, device, bluetooth});
        taken.insert(n);
        pinnedDevices.insert(device);
    }

    // 2. On-board UARTs: ttyS<k> is COM k+1.
    const std::vector<std::string> devNames = sortedNames(paths_.devFolder);
    for (const std::string& name : devNames) {
        const int k = deviceIndex(name, "ttyS");
        if (k < 0 || !realUart(paths_.sysTtyFolder, name)) {
            continue;
        }
        const std::string device = canonicalPath(fs::path(paths_.devFolder) / name);
        if (device.empty() || pinnedDevices.count(device) != 0 || taken.count(k + 1) != 0) {
            continue;
        }
        found.push_back({k + 1, device, false, false});
        taken.insert(k + 1);
    }

    // 3. Plug-in devices keep the number they were first given.
    std::map<std::string, int> numbers = loadNumbers();
    bool changed = false;
    std::set<int> remembered;
    for (const auto& entry : numbers) {
        remembered.insert(entry.second);
    }
    std::vector<Found> plugIns;
    std::vector<std::string> ids;
    for (const std::string& name : devNames) {
        const bool bluetooth = deviceIndex(name, "rfcomm") >= 0;
        if (!bluetooth && deviceIndex(name, "ttyUSB") < 0 && deviceIndex(name, "ttyACM") < 0) {
            continue;
        }
        const std::string device = canonicalPath(fs::path(paths_.devFolder) / name);
        if (device.empty() || pinnedDevices.count(device) != 0) {
            continue;
        }
        const bool board =
            deviceIndex(name, "ttyACM") >= 0 && acmWithoutAtCommands(paths_.sysTtyFolder, name);
        plugIns.push_back({0, device, bluetooth, !board});
        ids.push_back(stableId(device));
    }
    for (const OtherDevice& other : otherDevices_ ? otherDevices_() : std::vector<OtherDevice>{}) {
        plugIns.push_back({0, other.device, true, true, other.label});
        ids.push_back(cleanId(other.id));
    }
    for (std::size_t i = 0; i < plugIns.size(); ++i) {
        const std::string& id = ids[i];
        auto it = numbers.find(id);
        int n = it == numbers.end() ? 0 : it->second;
        if (n <= 0 || taken.count(n) != 0) {
            // New device, or its number has since been pinned to another one: the lowest number
            // that nothing present and no other remembered device holds.
            if (n > 0) {
                remembered.erase(n);
            }
            n = 1;
            while (taken.count(n) != 0 || remembered.count(n) != 0) {
                ++n;
            }
            numbers[id] = n;
            remembered.insert(n);
            changed = true;
        }
        plugIns[i].port = n;
        found.push_back(plugIns[i]);
        taken.insert(n);
    }
    if (changed) {
        saveNumbers(numbers);
    }
    return found;
}

std::vector<RegisteredPort> LinuxPortRegistry::listPorts() {
    std::vector<RegisteredPort> ports;
    for (const Found& f : scan()) {
        ports.push_back({f.port, f.bluetooth ? PortKind::kBluetooth : PortKind::kCable, f.device,
                         f.mayBePhone, f.label});
    }
    return ports;
}

std::optional<std::string> LinuxPortRegistry::devicePath(int port) {
    for (const Found& f : scan()) {
        if (f.port == port) {
            return f.device;
        }
    }
    return std::nullopt;
}

bool LinuxPortRegistry::heldElsewhere(int port) {
    const std::optional<std::string> device = holderOf_ ? devicePath(port) : std::nullopt;
    return device && holderOf_(*device);
}

}  // namespace zintor
