#include "link/PortList.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "link/LinkTexts.h"

namespace zintor {

std::int16_t portNumberFromText(std::string_view portText) {
    if (portText.size() <= 3) {
        return 0;
    }
    std::string_view digits = portText.substr(3);
    while (!digits.empty() && digits.front() == ' ') {
        digits.remove_prefix(1);
    }
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), int{std::numeric_limits<std::int16_t>::max()});
    }
    return static_cast<std::int16_t>(value);
}

ComPortInfo makeComPortInfo(const RegisteredPort& port) {
    ComPortInfo info;
    info.name = port.name;
    info.kind = port.name.find("BtPort") != std::string::npos ? 1 : 0;
    info.port = portNumberFromText(port.portText);
    info.tryAutomatically = port.tryAutomatically;
    info.label = port.label;
    return info;
}

namespace {

// (lo + hi) / 2 rounded to an integer, halves to the even neighbour.
int middleIndex(int lo, int hi) {
    const int sum = lo + hi;
    const int half = sum / 2;
    if (sum % 2 == 0) {
        return half;
    }
    return half % 2 == 0 ? half : half + 1;
}

}  // namespace

void sortPortList(std::vector<ComPortInfo>& list, int lo, int hi) {
    lo = std::max(lo, 0);
    hi = std::min(hi, static_cast<int>(list.size()) - 1);
    if (lo >= hi) {
        return;
    }
    const std::int16_t pivot = list[middleIndex(lo, hi)].port;
    int left = lo;
    int right = hi;
    while (left <= right) {
        while (list[left].port < pivot) {
            ++left;
        }
        while (list[right].port > pivot) {
            --right;
        }
        if (left <= right) {
            std::swap(list[left], list[right]);
            ++left;
            --right;
        }
    }
    sortPortList(list, lo, right);
    sortPortList(list, left, hi);
}

std::string portLabel(const ComPortInfo& port) {
    return (port.kind == 1 ? link_texts::kBluetoothCom : link_texts::kSerialCom) +
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
