#include "link/PortList.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "link/LinkTexts.h"

namespace zintor {

std::int16_t PortNumberFromText(std::string_view portText) {
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

ComPortInfo MakeComPortInfo(const RegisteredPort& port) {
    ComPortInfo info;
    info.Name = port.name;
    info.Kind = port.name.find("BtPort") != std::string::npos ? 1 : 0;
    info.Port = PortNumberFromText(port.portText);
    return info;
}

namespace {

// (lo + hi) / 2 rounded to an integer, halves to the even neighbour.
int MiddleIndex(int lo, int hi) {
    const int sum = lo + hi;
    const int half = sum / 2;
    if (sum % 2 == 0) {
        return half;
    }
    return half % 2 == 0 ? half : half + 1;
}

}  // namespace

void SortPortList(std::vector<ComPortInfo>& list, int lo, int hi) {
    lo = std::max(lo, 0);
    hi = std::min(hi, static_cast<int>(list.size()) - 1);
    if (lo >= hi) {
        return;
    }
    const std::int16_t pivot = list[MiddleIndex(lo, hi)].Port;
    int left = lo;
    int right = hi;
    while (left <= right) {
        while (list[left].Port < pivot) {
            ++left;
        }
        while (list[right].Port > pivot) {
            --right;
        }
        if (left <= right) {
            std::swap(list[left], list[right]);
            ++left;
            --right;
        }
    }
    SortPortList(list, lo, right);
    SortPortList(list, left, hi);
}

std::string PortLabel(const ComPortInfo& port) {
    return (port.Kind == 1 ? link_texts::kBluetoothCom : link_texts::kSerialCom) +
           std::to_string(port.Port);
}

std::vector<PortMenuItem> PortMenuItems(const std::vector<ComPortInfo>& list, int comPort) {
    std::vector<PortMenuItem> items;
    for (const ComPortInfo& port : list) {
        if (port.Port > kHighestOfferedPort) {
            break;
        }
        items.push_back({PortLabel(port), port.Port == comPort});
    }
    return items;
}

}  // namespace zintor
