#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keymap/KeyMapRecords.h"
#include "core/keymap/KeyMapScanner.h"
#include "core/keymap/LineCounter.h"
#include "core/keymap/StrippedText.h"
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

// Reads one key-map text, tag by tag, into key maps and USB output names (see loadKeyMaps).
class KeyMapLoader {
  public:
    KeyMapLoader(std::string_view original, std::vector<KeyMap>& keyMaps,
                 std::array<USBOutput, 8>& outputs, const KeyMapLoadOptions& options);
    KeyMapLoader(const KeyMapLoader&) = delete;
    KeyMapLoader& operator=(const KeyMapLoader&) = delete;

    // Reads the whole text, once.
    KeyMapLoadResult run();

  private:
    using Kind = KeyMapLoadError::Kind;

    void act(const KeyMapScanner::Tag& tag);
    void openKeyMap(const KeyMapScanner::Tag& tag);
    void openCommand(const KeyMapScanner::Tag& tag);
    void readCommand(const KeyMapScanner::Tag& tag);
    bool needKeyMap(const KeyMapScanner::Tag& tag);
    bool needCommand(const KeyMapScanner::Tag& tag);
    std::optional<std::string_view> readValue(const KeyMapScanner::Tag& tag);
    void setText(const KeyMapScanner::Tag& tag, std::string& field);
    KeyEntry& currentKey();
    KeyCommand& currentCommand();
    std::string keyName() const;
    void note(std::size_t strippedOffset, std::optional<std::string> text);
    void fail(Kind kind, std::size_t strippedOffset, std::string text);

    std::string_view original_;
    std::vector<KeyMap>& keyMaps_;
    std::array<USBOutput, 8>& outputs_;
    std::vector<KeyMapNote>* notes_;
    LineCounter noteLines_{original_};
    StrippedText stripped_;
    KeyMapScanner scanner_;
    std::uint64_t valueBudget_;
    std::int16_t map_ = 0;
    std::int16_t key_ = 0;
    std::int16_t command_ = 0;
    std::int16_t output_ = 0;
    std::optional<KeyMapLoadError> error_;
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
