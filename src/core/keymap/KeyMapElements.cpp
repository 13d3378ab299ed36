#include "core/keymap/KeyMapElements.h"

#include <array>

#include "core/keymap/KeyMapNames.h"

namespace zintor {
namespace {

struct Entry {
    std::string_view name;
    Element element;
    std::int16_t number;
};

constexpr std::array kElements{
    Entry{"KEYMAP", Element::kKeyMap, 0},
    Entry{"KEYMAP_NAME", Element::kKeyMapName, 0},
    Entry{"HELP", Element::kHelp, 0},
    Entry{"NAME", Element::kName, 0},
    Entry{"COMMAND_ID", Element::kCommandId, 0},
    Entry{"COMMAND_TYPE", Element::kCommandType, 0},
    Entry{"COMMAND", Element::kCommand, 0},
    Entry{"NAME_ON", Element::kNameOn, 0},
    Entry{"NAME_OFF", Element::kNameOff, 0},
    Entry{"USB_DIGITAL_OUT_1", Element::kUsbOutput, 0},
    Entry{"USB_DIGITAL_OUT_2", Element::kUsbOutput, 1},
    Entry{"USB_DIGITAL_OUT_3", Element::kUsbOutput, 2},
    Entry{"USB_DIGITAL_OUT_4", Element::kUsbOutput, 3},
    Entry{"USB_DIGITAL_OUT_5", Element::kUsbOutput, 4},
    Entry{"USB_DIGITAL_OUT_6", Element::kUsbOutput, 5},
    Entry{"USB_DIGITAL_OUT_7", Element::kUsbOutput, 6},
    Entry{"USB_DIGITAL_OUT_8", Element::kUsbOutput, 7},
};

constexpr std::size_t kLongest = 17;  // USB_DIGITAL_OUT_1

}  // namespace

ElementTag classifyTag(std::string_view tag) {
    // Most tags of a file are end tags; they and anything too long or short leave at once.
    if (tag.size() < 4 || tag.size() > kLongest || tag[0] == '/') {
        return {};
    }
    if (tag[0] == 'K' && tag.size() >= 5 && tag[3] == '_') {
        if (auto key = keyNumberFromElement(tag)) {
            return {Element::kKey, *key};
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
