#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keymap/KeyMapRecords.h"
#include "core/keymap/TextPosition.h"

namespace zintor {

// Why a key-map text stopped loading, and where.
struct KeyMapLoadError {
    enum class Kind {
        kNoKeyMap,          // an element that needs a key map before the first KEYMAP
        kNoCommand,         // COMMAND_TYPE or COMMAND while the key has no COMMAND_ID yet
        kUnclosedTag,       // a "<" with no ">" after it
        kUnclosedValue,     // a value with no "</" after it
        kUnclosedEndTag,    // values read again and again behind a "</" that has no ">"
        kNumberOutOfRange,  // a WAIT time that does not fit 32 bits
        kTooManyKeyMaps,    // more than 32768 key maps
        kTooManyCommands,   // more than 32768 commands for one key
    };
    Kind kind = Kind::kNoKeyMap;
    std::size_t offset = 0;  // in the text handed to loadKeyMaps
    LineColumn at;           // the same place as line and column
    std::string text;        // what was expected, e.g. "HELP before the first KEYMAP"
};

struct KeyMapLoadResult {
    std::optional<KeyMapLoadError> error;
    bool ok() const { return !error.has_value(); }
};

// Something that loads but is rarely meant (an unknown command name, a tag with an attribute).
struct KeyMapNote {
    std::size_t offset = 0;  // in the text handed to loadKeyMaps
    LineColumn at;
    std::string text;
};

struct KeyMapLoadOptions {
    // When set, notes about doubtful content are added here.
    std::vector<KeyMapNote>* notes = nullptr;
};

// Turns a key-map text into key maps (appended to `keyMaps` in file order) and USB output names.
// An error stops the load where it occurs; what was read before it stays in `keyMaps` and
// `outputs` (the maps before a typo keep working, and the message says where to look).
KeyMapLoadResult loadKeyMaps(std::string_view text, std::vector<KeyMap>& keyMaps,
                             std::array<USBOutput, 8>& outputs,
                             const KeyMapLoadOptions& options = {});

// A key-map file's bytes as the program's text: UTF-8 as it is; anything else is taken to be
// Windows-1252, the encoding of key maps written on Windows.
std::string keyMapTextAsUtf8(std::string bytes);

// At least one key map has been read.
bool keyMapsLoaded(const std::vector<KeyMap>& keyMaps);
// Key `key` of key map `keyMap` has commands; false for any index out of range.
bool keyHasCommands(const std::vector<KeyMap>& keyMaps, std::int16_t keyMap, std::int16_t key);

// "KeyMap.xml:41:5: COMMAND_TYPE before any COMMAND_ID for key KEY_3"
std::string formatLoadError(std::string_view fileName, const KeyMapLoadError& error);

}  // namespace zintor
