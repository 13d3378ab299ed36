#pragma once

#include <cstdint>
#include <string_view>

namespace zintor {

// The tags the key-map loader acts on. Any other tag (end tags, declarations, tags with
// attributes or blanks) is skipped.
enum class Element : std::uint8_t {
    Other,
    KeyMap,       // KEYMAP
    KeyMapName,   // KEYMAP_NAME
    Key,          // KEY_0 ... KEY_LEFT_SOFTKEY; `number` is the key number
    Help,         // HELP
    Name,         // NAME
    CommandId,    // COMMAND_ID
    CommandType,  // COMMAND_TYPE
    Command,      // COMMAND
    UsbOutput,    // USB_DIGITAL_OUT_1 ... _8; `number` is the output 0..7
    NameOn,       // NAME_ON
    NameOff,      // NAME_OFF
};

struct ElementTag {
    Element element = Element::Other;
    std::int16_t number = 0;
};

// Exact, case-sensitive match of the whole tag text.
ElementTag classifyTag(std::string_view tag);

}  // namespace zintor
