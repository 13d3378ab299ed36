#include "core/keymap/KeyMapNotes.h"

#include "core/keymap/KeyMapElements.h"
#include "core/keymap/KeyMapNames.h"
#include "core/keymap/KeyMapRecords.h"
#include "core/keymap/LeadingNumber.h"
#include "core/keymap/TextPosition.h"

namespace zintor {
namespace {

std::string quoted(std::string_view text) {
    return join({"\"", excerpt(text), "\""});
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string unknownName(CommandType type, std::string_view value, std::string_view gives) {
    return join({commandTypeName(type), " name ", quoted(value),
                 " is not in the table; it gives code 0 (", gives, ")"});
}

bool hasLeadingNumber(std::string_view value) {
    for (char c : value) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '+' || c == '-' || c == '.' || c == '&') {
            continue;
        }
        return c >= '0' && c <= '9';
    }
    return false;
}

}  // namespace

std::optional<std::string> skippedTagNote(std::string_view tag) {
    if (tag.empty() || tag[0] == '/' || tag[0] == '?' || tag[0] == '!') {
        return std::nullopt;
    }
    std::string base;
    for (char c : tag) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/') {
            break;
        }
        base += upper(c);
    }
    if (classifyTag(base).element == Element::kOther) {
        return std::nullopt;
    }
    return join({"tag <", excerpt(tag), "> is skipped, not read as ", base,
                 ": a tag holds only the element name, in upper case, nothing else"});
}

std::optional<std::string> commandTypeNote(std::string_view value, CommandType current) {
    if (commandTypeFromName(value)) {
        return std::nullopt;
    }
    return join({"COMMAND_TYPE ", quoted(value),
                 " is not a type name (KEY, WAIT, SPECIAL KEY, KEY DOWN, KEY UP, MOUSE, INPUT, "
                 "WINAMP, VOLUME); the command stays ",
                 commandTypeName(current)});
}

std::optional<std::string> commandNote(CommandType type, std::string_view value) {
    switch (type) {
        case CommandType::kKey:
            // Typed as written, but for control characters beyond Backspace, Tab and line breaks.
            for (const char c : value) {
                if ((c >= 0 && c < 0x20 && c != '\b' && c != '\t' && c != '\n' && c != '\r') ||
                    c == 0x7f) {
                    return join({"KEY text ", quoted(value),
                                 " has control characters, which are not typed"});
                }
            }
            return std::nullopt;
        case CommandType::kWait:
            if (hasLeadingNumber(value)) {
                return std::nullopt;
            }
            return join({"WAIT time ", quoted(value), " does not start with a number; it waits ",
                         std::to_string(leadingNumber(value).value_or(0)), " ms"});
        case CommandType::kSpecialKey:
        case CommandType::kKeyDown:
        case CommandType::kKeyUp:
            if (specialKeyCode(value) != 0) {
                return std::nullopt;
            }
            return unknownName(type, value, "no key");
        case CommandType::kMouse:
            if (mouseCommandName(mouseCommandCode(value)) == value) {
                return std::nullopt;
            }
            return unknownName(type, value, "LEFT");
        case CommandType::kPlayer:
            if (playerCommandName(playerCommandCode(value)) == value) {
                return std::nullopt;
            }
            return unknownName(type, value, "VOLUME UP");
        case CommandType::kVolume: {
            const std::int32_t code = volumeCommandCode(value);
            if (volumeCommandName(code) != value) {
                return unknownName(type, value, "MASTER UP");
            }
            if (code > 1) {
                return join({"VOLUME ", quoted(value),
                             " is known but does nothing: only MASTER UP and MASTER DOWN act"});
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace zintor
