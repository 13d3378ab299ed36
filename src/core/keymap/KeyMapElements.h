#pragma once

#include <cstdint>
#include <string_view>

namespace zintor {

// The tags the key-map loader acts on. Any other tag (end tags, declarations, tags with
// attributes or blanks) is skipped.
enum class Element : std::uint8_t {
    kOther,
    kKeyMap,       // KEYMAP
    kKeyMapName,   // KEYMAP_NAME
    kKey,          // KEY_0 ... KEY_LEFT_SOFTKEY; `number` is the key number
    kHelp,         // HELP
    kName,         // NAME
    kCommandId,    // COMMAND_ID
    kCommandType,  // COMMAND_TYPE
    kCommand,      // COMMAND
    kUsbOutput,    // USB_DIGITAL_OUT_1 ... _8; `number` is the output 0..7
    kNameOn,       // NAME_ON
    kNameOff,      // NAME_OFF
};

struct ElementTag {
    Element element = Element::kOther;
    std::int16_t number = 0;
};

// Exact, case-sensitive match of the whole tag text.
ElementTag classifyTag(std::string_view tag);

}  // namespace zintor
