#include "keymap/KeyMapElements.h"

#include <array>

#include "keymap/KeyMapNames.h"

namespace zintor {
namespace {

struct Entry {
    std::string_view name;
    Element element;
    std::int16_t number;
};

constexpr std::array kElements{
    Entry{"KEYMAP", Element::KeyMap, 0},
    Entry{"KEYMAP_NAME", Element::KeyMapName, 0},
    Entry{"HELP", Element::Help, 0},
    Entry{"NAME", Element::Name, 0},
    Entry{"COMMAND_ID", Element::CommandId, 0},
    Entry{"COMMAND_TYPE", Element::CommandType, 0},
    Entry{"COMMAND", Element::Command, 0},
    Entry{"NAME_ON", Element::NameOn, 0},
    Entry{"NAME_OFF", Element::NameOff, 0},
    Entry{"USB_DIGITAL_OUT_1", Element::UsbOutput, 0},
    Entry{"USB_DIGITAL_OUT_2", Element::UsbOutput, 1},
    Entry{"USB_DIGITAL_OUT_3", Element::UsbOutput, 2},
    Entry{"USB_DIGITAL_OUT_4", Element::UsbOutput, 3},
    Entry{"USB_DIGITAL_OUT_5", Element::UsbOutput, 4},
    Entry{"USB_DIGITAL_OUT_6", Element::UsbOutput, 5},
    Entry{"USB_DIGITAL_OUT_7", Element::UsbOutput, 6},
    Entry{"USB_DIGITAL_OUT_8", Element::UsbOutput, 7},
};

constexpr std::size_t kLongest = 17;  // USB_DIGITAL_OUT_1

}  // namespace

ElementTag classifyTag(std::string_view tag) {
    // Most tags of a file are end tags; they and anything too long or short leave at once.
    if (tag.size() < 4 || tag.size() > kLongest || tag[0] < 'A' || tag[0] > 'U') {
        return {};
    }
    if (tag[0] == 'K' && tag.size() >= 5 && tag[3] == '_') {
        if (auto key = keyNumberFromElement(tag)) {
            return {Element::Key, *key};
        }
    }
    for (const Entry& entry : kElements) {
        if (entry.name == tag) {
            return {entry.element, entry.number};
        }
    }
    return {};
}

}  // namespace zintor
