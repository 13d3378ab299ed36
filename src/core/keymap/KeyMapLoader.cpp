#include "core/keymap/KeyMapLoader.h"

#include <utility>

#include "core/keymap/KeyMapElements.h"
#include "core/keymap/KeyMapNames.h"
#include "core/keymap/KeyMapNotes.h"
#include "core/keymap/LeadingNumber.h"
#include "core/link/transport/Charsets.h"

namespace zintor {
namespace {

constexpr std::size_t kMaxKeyMaps = 32768;   // key map numbers are 16-bit
constexpr std::size_t kMaxCommands = 32768;  // command numbers are 16-bit

std::string quoted(std::string_view text) {
    return join({"\"", excerpt(text), "\""});
}

}  // namespace

KeyMapLoader::KeyMapLoader(std::string_view original, std::vector<KeyMap>& keyMaps,
                           std::array<USBOutput, 8>& outputs, const KeyMapLoadOptions& options)
    : original_(original),
      keyMaps_(keyMaps),
      outputs_(outputs),
      notes_(options.notes),
      stripped_(original),
      scanner_(stripped_.text()),
      valueBudget_(2 * static_cast<std::uint64_t>(original.size()) + (16u << 20)) {}

KeyMapLoadResult KeyMapLoader::run() {
    while (!error_ && scanner_.remaining() >= 3) {
        const auto tag = scanner_.nextTag();
        if (!tag) {
            fail(KeyMapLoadError::Kind::kUnclosedTag, scanner_.unclosedAt(),
                 "expected \">\" to close the tag that starts here");
            break;
        }
        act(*tag);
    }
    return KeyMapLoadResult{std::move(error_)};
}

void KeyMapLoader::act(const KeyMapScanner::Tag& tag) {
    const ElementTag what = classifyTag(tag.name);
    switch (what.element) {
        case Element::kOther:
            if (notes_) {
                note(tag.at, skippedTagNote(tag.name));
            }
            break;
        case Element::kKeyMap:
            openKeyMap(tag);
            break;
        case Element::kKeyMapName:
            if (needKeyMap(tag)) {
                setText(tag, keyMaps_[map_].name);
            }
            break;
        case Element::kKey:
            key_ = what.number;
            command_ = 0;
            break;
        case Element::kHelp:
            if (needKeyMap(tag)) {
                setText(tag, currentKey().help);
            }
            break;
        case Element::kName:
            if (needKeyMap(tag)) {
                setText(tag, currentKey().name);
            }
            break;
        case Element::kCommandId:
            if (needKeyMap(tag)) {
                openCommand(tag);
            }
            break;
        case Element::kCommandType:
            if (needCommand(tag)) {
                if (auto value = readValue(tag)) {
                    if (auto type = commandTypeFromName(*value)) {
                        currentCommand().type = *type;
                    } else if (notes_) {
                        note(tag.at, commandTypeNote(*value, currentCommand().type));
                    }
                }
            }
            break;
        case Element::kCommand:
            if (needCommand(tag)) {
                readCommand(tag);
            }
            break;
        case Element::kUsbOutput:
            output_ = what.number;
            break;
        case Element::kNameOn:
            setText(tag, outputs_[output_].nameOn);
            break;
        case Element::kNameOff:
            setText(tag, outputs_[output_].nameOff);
            break;
    }
}

void KeyMapLoader::openKeyMap(const KeyMapScanner::Tag& tag) {
    if (keyMaps_.size() >= kMaxKeyMaps) {
        fail(Kind::kTooManyKeyMaps, tag.at, "more than 32768 KEYMAP elements");
        return;
    }
    keyMaps_.emplace_back();
    map_ = static_cast<std::int16_t>(keyMaps_.size() - 1);
}

void KeyMapLoader::openCommand(const KeyMapScanner::Tag& tag) {
    auto& commands = currentKey().commands;
    if (commands.size() >= kMaxCommands) {
        fail(Kind::kTooManyCommands, tag.at,
             join({"more than 32768 COMMAND_ID elements for key ", keyName()}));
        return;
    }
    commands.emplace_back();
    command_ = static_cast<std::int16_t>(commands.size() - 1);
}

void KeyMapLoader::readCommand(const KeyMapScanner::Tag& tag) {
    KeyCommand& command = currentCommand();
    const auto value = readValue(tag);
    if (!value) {
        return;
    }
    if (notes_) {
        note(tag.at, commandNote(command.type, *value));
    }
    switch (command.type) {
        case CommandType::kKey:
        case CommandType::kInput:
            command.text.assign(*value);
            break;
        case CommandType::kWait:
            if (auto number = leadingNumber(*value)) {
                command.value = *number;
            } else {
                fail(Kind::kNumberOutOfRange, tag.at,
                     join({"expected a WAIT time from -2147483648 to 2147483647, found ",
                           quoted(*value)}));
            }
            break;
        case CommandType::kSpecialKey:
        case CommandType::kKeyDown:
        case CommandType::kKeyUp:
            command.code = specialKeyCode(*value);
            break;
        case CommandType::kMouse:
            command.code = mouseCommandCode(*value);
            break;
        case CommandType::kPlayer:
            command.code = playerCommandCode(*value);
            break;
        case CommandType::kVolume:
            command.code = volumeCommandCode(*value);
            break;
        default:
            break;
    }
}

bool KeyMapLoader::needKeyMap(const KeyMapScanner::Tag& tag) {
    if (!keyMapsLoaded(keyMaps_)) {
        fail(Kind::kNoKeyMap, tag.at, join({tag.name, " before the first KEYMAP"}));
        return false;
    }
    return true;
}

bool KeyMapLoader::needCommand(const KeyMapScanner::Tag& tag) {
    if (!needKeyMap(tag)) {
        return false;
    }
    const auto& commands = currentKey().commands;
    if (commands.empty() || static_cast<std::size_t>(command_) >= commands.size()) {
        fail(Kind::kNoCommand, tag.at,
             join({tag.name, " before any COMMAND_ID for key ", keyName()}));
        return false;
    }
    return true;
}

std::optional<std::string_view> KeyMapLoader::readValue(const KeyMapScanner::Tag& tag) {
    const auto value = scanner_.nextValue();
    if (!value) {
        fail(Kind::kUnclosedValue, tag.at,
             join({"expected \"</\" to end the value of ", tag.name}));
        return std::nullopt;
    }
    if (scanner_.valueWork() > valueBudget_) {
        fail(Kind::kUnclosedEndTag, scanner_.valueEndAt(),
             "expected \">\" to close this \"</\" (values before it are read again and "
             "again)");
        return std::nullopt;
    }
    return value;
}

void KeyMapLoader::setText(const KeyMapScanner::Tag& tag, std::string& field) {
    if (auto value = readValue(tag)) {
        field.assign(*value);
    }
}

KeyEntry& KeyMapLoader::currentKey() {
    return keyMaps_[map_].keys[key_];
}

KeyCommand& KeyMapLoader::currentCommand() {
    return currentKey().commands[command_];
}

std::string KeyMapLoader::keyName() const {
    return std::string(keyElementName(key_));
}

void KeyMapLoader::note(std::size_t strippedOffset, std::optional<std::string> text) {
    if (text) {
        KeyMapNote n;
        n.offset = stripped_.originalOffset(strippedOffset);
        n.at = noteLines_.at(n.offset);
        n.text = std::move(*text);
        notes_->push_back(std::move(n));
    }
}

void KeyMapLoader::fail(Kind kind, std::size_t strippedOffset, std::string text) {
    KeyMapLoadError error;
    error.kind = kind;
    error.offset = stripped_.originalOffset(strippedOffset);
    error.at = lineColumnAt(original_, error.offset);
    error.text = std::move(text);
    error_ = std::move(error);
}

KeyMapLoadResult loadKeyMaps(std::string_view text, std::vector<KeyMap>& keyMaps,
                             std::array<USBOutput, 8>& outputs, const KeyMapLoadOptions& options) {
    return KeyMapLoader(text, keyMaps, outputs, options).run();
}

std::string keyMapTextAsUtf8(std::string bytes) {
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    return windows1252ToUtf8(bytes);
}

bool keyMapsLoaded(const std::vector<KeyMap>& keyMaps) {
    return !keyMaps.empty();
}

bool keyHasCommands(const std::vector<KeyMap>& keyMaps, std::int16_t keyMap, std::int16_t key) {
    if (keyMap < 0 || static_cast<std::size_t>(keyMap) >= keyMaps.size() || key < 0 ||
        key >= kKeysPerMap) {
        return false;
    }
    return !keyMaps[keyMap].keys[key].commands.empty();
}

std::string formatLoadError(std::string_view fileName, const KeyMapLoadError& error) {
    return join({fileName, ":", std::to_string(error.at.line), ":", std::to_string(error.at.column),
                 ": ", error.text});
}

}  // namespace zintor
