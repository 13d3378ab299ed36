#include "keymap/KeyMapNotes.h"

#include "keymap/KeyMapElements.h"
#include "keymap/KeyMapNames.h"
#include "keymap/KeyMapRecords.h"
#include "keymap/LeadingNumber.h"
#include "keymap/TextPosition.h"

namespace zintor {
namespace {

std::string Quoted(std::string_view text) {
    return Join({"\"", Excerpt(text), "\""});
}

bool IsAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UnknownName(std::int32_t type, std::string_view value, std::string_view gives) {
    return Join({CommandTypeName(type), " name ", Quoted(value),
                 " is not in the table; it gives code 0 (", gives, ")"});
}

bool HasLeadingNumber(std::string_view value) {
    for (char c : value) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '+' || c == '-' || c == '.' || c == '&') {
            continue;
        }
        return c >= '0' && c <= '9';
    }
    return false;
}

}  // namespace

std::optional<std::string> SkippedTagNote(std::string_view tag) {
    if (tag.empty() || tag[0] == '/' || tag[0] == '?' || tag[0] == '!') {
        return std::nullopt;
    }
    std::string base;
    for (char c : tag) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/') {
            break;
        }
        base += Upper(c);
    }
    if (ClassifyTag(base).element == Element::Other) {
        return std::nullopt;
    }
    return Join({"tag <", Excerpt(tag), "> is skipped, not read as ", base,
                 ": a tag holds only the element name, in upper case, nothing else"});
}

std::optional<std::string> CommandTypeNote(std::string_view value, std::int32_t current) {
    if (CommandTypeFromName(value)) {
        return std::nullopt;
    }
    return Join({"COMMAND_TYPE ", Quoted(value),
                 " is not a type name (KEY, WAIT, SPECIAL KEY, KEY DOWN, KEY UP, MOUSE, INPUT, "
                 "WINAMP, VOLUME); the command stays ",
                 CommandTypeName(current)});
}

std::optional<std::string> CommandNote(std::int32_t type, std::string_view value) {
    switch (type) {
        case CommandKey: {
            std::string typed;
            for (char c : value) {
                if (IsAlnum(c)) {
                    typed += c;
                }
            }
            if (typed.size() == value.size()) {
                return std::nullopt;
            }
            return Join({"KEY text ", Quoted(value),
                         " types only its letters and digits: ", Quoted(typed)});
        }
        case CommandWait:
            if (HasLeadingNumber(value)) {
                return std::nullopt;
            }
            return Join({"WAIT time ", Quoted(value), " does not start with a number; it waits ",
                         std::to_string(LeadingNumber(value).value_or(0)), " ms"});
        case CommandSpecialKey:
        case CommandKeyDown:
        case CommandKeyUp:
            if (SpecialKeyCode(value) != 0) {
                return std::nullopt;
            }
            return UnknownName(type, value, "no key");
        case CommandMouse:
            if (MouseCommandName(MouseCommandCode(value)) == value) {
                return std::nullopt;
            }
            return UnknownName(type, value, "LEFT");
        case CommandWinamp:
            if (WinampCommandName(WinampCommandCode(value)) == value) {
                return std::nullopt;
            }
            return UnknownName(type, value, "VOLUME UP");
        case CommandVolume: {
            const std::int32_t code = VolumeCommandCode(value);
            if (VolumeCommandName(code) != value) {
                return UnknownName(type, value, "MASTER UP");
            }
            if (code > 1) {
                return Join({"VOLUME ", Quoted(value),
                             " is known but does nothing: only MASTER UP and MASTER DOWN act"});
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace zintor
