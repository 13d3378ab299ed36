#include "LiteralKeyMapLoader.h"

#include <cstdint>

#include "core/keymap/KeyMapNames.h"
#include "core/keymap/LeadingNumber.h"

namespace zintor::literal {
namespace {

using Kind = KeyMapLoadError::Kind;
constexpr std::size_t npos = std::string::npos;

// Characters from `from` (0-based) to the end, as a new text.
Text mid(const Text& t, std::size_t from) {
    if (from >= t.chars.size()) {
        return {};
    }
    if (t.origin.empty()) {
        return {t.chars.substr(from), {}};
    }
    return {t.chars.substr(from),
            std::vector<std::size_t>(t.origin.begin() + static_cast<std::ptrdiff_t>(from),
                                     t.origin.end())};
}

Text left(const Text& t, std::size_t count) {
    if (t.origin.empty()) {
        return {t.chars.substr(0, count), {}};
    }
    return {t.chars.substr(0, count),
            std::vector<std::size_t>(t.origin.begin(),
                                     t.origin.begin() + static_cast<std::ptrdiff_t>(count))};
}

Text concat(const Text& a, const Text& b) {
    Text t = a;
    t.chars += b.chars;
    t.origin.insert(t.origin.end(), b.origin.begin(), b.origin.end());
    return t;
}

struct Reader {
    Text text;
    std::size_t end;  // original size, the offset of "past the end"

    std::size_t originAt(std::size_t i) const {
        return i < text.origin.size() ? text.origin[i] : end;
    }

    // The tag name, or nothing when the "<" has no ">" (errorAt is then the "<").
    std::optional<std::string> getTag(std::size_t& errorAt, std::size_t& tagAt) {
        const std::size_t lt = text.chars.find('<');
        if (lt == npos) {
            text = {};
            return std::string();
        }
        const std::size_t gt = text.chars.find('>', lt);
        if (gt == npos) {
            errorAt = originAt(lt);
            return std::nullopt;
        }
        tagAt = originAt(lt);
        std::string name = text.chars.substr(lt + 1, gt - lt - 1);
        text = mid(text, gt + 1);
        return name;
    }

    std::optional<std::string> getValueText() {
        const std::size_t p = text.chars.find("</");
        if (p == npos) {
            return std::nullopt;
        }
        const std::size_t q = text.chars.find('>', p);
        std::string value = text.chars.substr(0, p);
        if (q != npos) {
            text = mid(text, q + 1);
        }  // else: the characters after position 0, that is the whole text, stay
        return value;
    }
};

}  // namespace

void stripComments(Text& text) {
    for (;;) {
        const std::size_t s = text.chars.find("<!--");
        if (s == npos) {
            return;
        }
        const std::size_t e = text.chars.find("-->", s);
        const Text rest = e == npos ? Text{} : mid(text, e + 3);
        text = concat(left(text, s), rest);
    }
}

std::optional<Failure> loadKeyMaps(const std::string& original, std::vector<KeyMap>& keyMaps,
                                   std::array<USBOutput, 8>& outputs, bool trackPositions) {
    Reader r{{original, {}}, original.size()};
    r.text.origin.resize(trackPositions ? original.size() : 0);
    for (std::size_t i = 0; i < r.text.origin.size(); ++i) {
        r.text.origin[i] = i;
    }
    std::int16_t map = 0, key = 0, command = 0, output = 0;
    stripComments(r.text);

    while (r.text.chars.size() >= 3) {
        std::size_t errorAt = 0, at = 0;
        const auto tag = r.getTag(errorAt, at);
        if (!tag) {
            return Failure{Kind::kUnclosedTag, errorAt};
        }
        const std::string& t = *tag;
        const bool needsMap = t == "KEYMAP_NAME" || t == "HELP" || t == "NAME" ||
                              t == "COMMAND_ID" || t == "COMMAND_TYPE" || t == "COMMAND";
        if (needsMap && keyMaps.empty()) {
            return Failure{Kind::kNoKeyMap, at};
        }
        if ((t == "COMMAND_TYPE" || t == "COMMAND") && keyMaps[map].keys[key].commands.empty()) {
            return Failure{Kind::kNoCommand, at};
        }
        std::optional<std::string> value;
        const bool isValue = needsMap ? t != "COMMAND_ID" : t == "NAME_ON" || t == "NAME_OFF";
        if (isValue) {
            value = r.getValueText();
            if (!value) {
                return Failure{Kind::kUnclosedValue, at};
            }
        }
        if (t == "KEYMAP") {
            if (keyMaps.size() >= 32768) {
                return Failure{Kind::kTooManyKeyMaps, at};
            }
            keyMaps.resize(keyMaps.size() + 1);
            map = static_cast<std::int16_t>(keyMaps.size() - 1);
        } else if (t == "KEYMAP_NAME") {
            keyMaps[map].name = *value;
        } else if (auto number = keyNumberFromElement(t)) {
            key = *number;
            command = 0;
        } else if (t == "HELP") {
            keyMaps[map].keys[key].help = *value;
        } else if (t == "NAME") {
            keyMaps[map].keys[key].name = *value;
        } else if (t == "COMMAND_ID") {
            auto& list = keyMaps[map].keys[key].commands;
            if (list.size() >= 32768) {
                return Failure{Kind::kTooManyCommands, at};
            }
            list.resize(list.size() + 1);
            command = static_cast<std::int16_t>(list.size() - 1);
        } else if (t == "COMMAND_TYPE") {
            if (auto type = commandTypeFromName(*value)) {
                keyMaps[map].keys[key].commands[command].type = *type;
            }
        } else if (t == "COMMAND") {
            KeyCommand& c = keyMaps[map].keys[key].commands[command];
            switch (static_cast<int>(c.type)) {
                case 0:
                case 6:
                    c.text = *value;
                    break;
                case 1:
                    if (auto number = leadingNumber(*value)) {
                        c.value = *number;
                    } else {
                        return Failure{Kind::kNumberOutOfRange, at};
                    }
                    break;
                case 2:
                case 3:
                case 4:
                    c.code = specialKeyCode(*value);
                    break;
                case 5:
                    c.code = mouseCommandCode(*value);
                    break;
                case 7:
                    c.code = playerCommandCode(*value);
                    break;
                case 8:
                    c.code = volumeCommandCode(*value);
                    break;
            }
        } else if (t.rfind("USB_DIGITAL_OUT_", 0) == 0 && t.size() == 17 && t[16] >= '1' &&
                   t[16] <= '8') {
            output = static_cast<std::int16_t>(t[16] - '1');
        } else if (t == "NAME_ON") {
            outputs[output].nameOn = *value;
        } else if (t == "NAME_OFF") {
            outputs[output].nameOff = *value;
        }
    }
    return std::nullopt;
}

}  // namespace zintor::literal
