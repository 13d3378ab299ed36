#include "platform/linux/LinuxInput.h"

#include <cstdlib>

#include "platform/linux/PortalKeyboardMouse.h"
#include "platform/linux/WaylandKeyboardMouse.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace zintor {

namespace {

constexpr const char* kTokenName = "PortalRestoreToken";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

LinuxInput chooseLinuxInput(QDBusConnection bus, SettingsStore& settings,
                            std::function<void(const std::string&)> diagnostic) {
    const std::string wayland = environment("WAYLAND_DISPLAY");
    const std::string x11 = environment("DISPLAY");
    std::string why;
    if (!wayland.empty()) {
        auto virtualDevices = std::make_unique<WaylandKeyboardMouse>(diagnostic);
        if (virtualDevices->connect()) {
            return {std::move(virtualDevices),
                    "Keyboard and mouse input: Wayland virtual keyboard "
                    "and pointer on \"" +
                        wayland + "\""};
        }
        why = " (" + virtualDevices->failure() + ")";
        if (const unsigned version = PortalKeyboardMouse::offeredVersion(bus); version > 0) {
            auto portal = std::make_unique<PortalKeyboardMouse>(
                bus, version, settings.read(kTokenName, ""),
                [&settings](const std::string& token) {
                    settings.write(kTokenName, token);
                    settings.flush();
                },
                diagnostic);
            portal->start();  // the desktop may ask the user now, not at the first key
            return {std::move(portal),
                    "Keyboard and mouse input: the desktop's RemoteDesktop portal" + why};
        }
        why = " (" + virtualDevices->failure() + "; no RemoteDesktop portal)";
    }
    auto xtest = std::make_unique<XTestKeyboardMouse>(diagnostic);
    std::string description;
    if (!x11.empty()) {
        description = "Keyboard and mouse input: XTest on X display \"" + x11 + "\"" + why;
    } else if (!wayland.empty()) {
        description = "Keyboard and mouse input: none" + why;
    }
    return {std::move(xtest), description};
}

}  // namespace zintor
