#include "core/keymap/KeyMapDescribe.h"

#include "core/keymap/KeyMapNames.h"
#include "core/keymap/TextPosition.h"

namespace zintor {
namespace {

std::string quoted(std::string_view text) {
    return join({"\"", excerpt(text, 60), "\""});
}

std::string_view keyDisplayName(int key) {
    switch (key) {
        case 10:
            return "Volume Up";
        case 11:
            return "Volume Down";
        case 12:
            return "Clear";
        case 15:
            return "WAP";
        case 16:
            return "Camera";
        case 22:
            return "Left soft key";
        default:
            return "";
    }
}

std::string named(std::string_view type, std::string_view name, std::string_view unknown) {
    if (name.empty()) {
        return join({type, " ", unknown});
    }
    return join({type, " ", name});
}

}  // namespace

std::string describeCommand(const KeyCommand& c) {
    switch (c.type) {
        case CommandType::kKey:
            return join({"KEY ", quoted(c.text)});
        case CommandType::kWait:
            return join({"WAIT ", std::to_string(c.value), " ms"});
        case CommandType::kSpecialKey:
        case CommandType::kKeyDown:
        case CommandType::kKeyUp:
            return named(commandTypeName(c.type), specialKeyName(c.code), "(unknown name: no key)");
        case CommandType::kMouse:
            return named("MOUSE", mouseCommandName(c.code), "(unknown)");
        case CommandType::kInput:
            return "INPUT (text typed from the phone)";
        case CommandType::kPlayer:
            return named("WINAMP", playerCommandName(c.code), "(unknown)");
        case CommandType::kVolume:
            return named("VOLUME", volumeCommandName(c.code), "(unknown)");
        default:
            return join({"type ", std::to_string(static_cast<int>(c.type)), " (does nothing)"});
    }
}

std::string describeKeyMaps(const std::vector<KeyMap>& keyMaps,
                            const std::array<USBOutput, 8>& outputs) {
    std::string out;
    for (std::size_t m = 0; m < keyMaps.size(); ++m) {
        const KeyMap& map = keyMaps[m];
        out += join({"Key map ", std::to_string(m + 1), ": ", quoted(map.name), "\n"});
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& key = map.keys[k];
            if (key.commands.empty() && key.help.empty() && key.name.empty()) {
                continue;
            }
            const std::string_view display = keyDisplayName(k);
            out += join({"  ", display.empty() ? join({"Key ", std::to_string(k)}) : display, " (",
                         keyElementName(k), "): ", quoted(key.help)});
            if (!key.name.empty()) {
                out += join({", name ", quoted(key.name)});
            }
            if (key.commands.empty()) {
                out += ", no commands";
            }
            out += "\n";
            for (std::size_t c = 0; c < key.commands.size(); ++c) {
                out += join(
                    {"    ", std::to_string(c + 1), ". ", describeCommand(key.commands[c]), "\n"});
            }
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!outputs[i].nameOn.empty() || !outputs[i].nameOff.empty()) {
            out += join({"USB output ", std::to_string(i + 1), ": on ", quoted(outputs[i].nameOn),
                         ", off ", quoted(outputs[i].nameOff), "\n"});
        }
    }
    return out;
}

}  // namespace zintor
