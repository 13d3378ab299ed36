#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/keymap/KeyMapRecords.h"

namespace zintor {

// The names a key-map author writes after COMMAND, and the codes the executor acts on. Every
// lookup compares the whole name exactly (case-sensitive, no trimming); a name that matches
// nothing gives 0.

// Windows virtual-key code of a special-key name ("RETURN" 13, "F5" 116, ...); 0 when unknown.
std::int32_t specialKeyCode(std::string_view name);
// "LEFT" 0, "RIGHT" 1, "LEFT HOLD" 2; 0 when unknown.
std::int32_t mouseCommandCode(std::string_view name);
// "MASTER UP" 0, "MASTER DOWN" 1, "LINEIN UP" 2 ... "AUX DOWN" 13; 0 when unknown.
std::int32_t volumeCommandCode(std::string_view name);
// "VOLUME UP" 0 ... "CLOSE" 9; 0 when unknown.
std::int32_t playerCommandCode(std::string_view name);

// COMMAND_TYPE names: "KEY" 0 ... "VOLUME" 8; nothing for any other text.
std::optional<CommandType> commandTypeFromName(std::string_view name);

// Reverse lookups for messages and the key-map checker: the table name of a code, or an empty
// view when the code has none.
std::string_view commandTypeName(CommandType type);
std::string_view specialKeyName(std::int32_t code);
std::string_view mouseCommandName(std::int32_t code);
std::string_view volumeCommandName(std::int32_t code);
std::string_view playerCommandName(std::int32_t code);

// The key elements: KEY_0..KEY_9 -> 0..9, KEY_VOLUME_UP 10, KEY_VOLUME_DOWN 11, KEY_CLEAR 12,
// KEY_WAP 15, KEY_CAMERA 16, KEY_LEFT_SOFTKEY 22.
std::optional<std::int16_t> keyNumberFromElement(std::string_view element);
// The element name of a key number ("KEY_3"), or an empty view for keys without an element.
std::string_view keyElementName(std::int32_t key);

}  // namespace zintor
