#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/keymap/KeyMapRecords.h"

namespace zintor {

// Things a key map may hold that load without error but are rarely meant. The loader reports
// them only when asked (the key-map checker prints them as warnings).

// A tag that is skipped but looks like an element written wrongly: `<KEYMAP id="1">`,
// `<KEY_1 >`, `<keymap>`.
std::optional<std::string> skippedTagNote(std::string_view tag);
// A COMMAND_TYPE value that is no type name; `current` is the type that stays.
std::optional<std::string> commandTypeNote(std::string_view value, CommandType current);
// A COMMAND value read for a command of type `type`.
std::optional<std::string> commandNote(CommandType type, std::string_view value);

}  // namespace zintor
