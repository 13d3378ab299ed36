#include "core/link/connection/PortList.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/link/transport/LinkTexts.h"

namespace zintor {

ComPortInfo makeComPortInfo(const RegisteredPort& port) {
    ComPortInfo info;
    info.device = port.device;
    info.kind = port.kind;
    info.port = std::clamp(port.number, 0, int{std::numeric_limits<std::int16_t>::max()});
    info.tryAutomatically = port.tryAutomatically;
    info.label = port.label;
    return info;
}

std::vector<ComPortInfo> sortedPortList(const std::vector<RegisteredPort>& ports) {
    std::vector<ComPortInfo> list;
    // Backwards, so that the stable sort puts the later of two ports with one number first.
    for (auto port = ports.rbegin(); port != ports.rend(); ++port) {
        list.push_back(makeComPortInfo(*port));
    }
    std::ranges::stable_sort(list, std::less{}, &ComPortInfo::port);
    return list;
}

std::string portLabel(const ComPortInfo& port) {
    return (port.kind == PortKind::kBluetooth ? link_texts::kBluetoothCom
                                              : link_texts::kSerialCom) +
           std::to_string(port.port) +
           (port.label.empty() ? "" : link_texts::kPortLabelDash + port.label);
}

std::vector<PortMenuItem> portMenuItems(const std::vector<ComPortInfo>& list, int comPort) {
    std::vector<PortMenuItem> items;
    for (const ComPortInfo& port : list) {
        if (port.port > kHighestOfferedPort) {
            break;
        }
        items.push_back({portLabel(port), port.port == comPort});
    }
    return items;
}

}  // namespace zintor
